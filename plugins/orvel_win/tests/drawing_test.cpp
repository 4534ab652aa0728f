// Headless drawing checked by its pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include "plugin_harness.h"
#include "window.h"

using harness::run;
using harness::win;

namespace {

constexpr uint32_t kBack = 0x102030;

class Drawing : public ::testing::Test {
 protected:
  void SetUp() override {
    win({"create", "-headless", "-w", "640", "-h", "480"});
    win({"textcolor", "white", "#102030"});
    win({"cls"});
  }
  void TearDown() override { win({"close"}); }
  owin::Canvas& canvas() { return owin::theWindow().canvas(); }
  uint32_t px(int x, int y) { return canvas().at(x, y); }
  // Counts pixels different from the background inside and outside a box.
  void inkIn(int x0, int y0, int x1, int y1, int& inside, int& outside) {
    inside = outside = 0;
    for (int y = 0; y < canvas().height(); ++y)
      for (int x = 0; x < canvas().width(); ++x) {
        if (px(x, y) == kBack) continue;
        (x >= x0 && x < x1 && y >= y0 && y < y1 ? inside : outside)++;
      }
  }
};

TEST_F(Drawing, FilledCircleCoversItsCentreAndNothingBeyondItsRadius) {
  win({"circle", "100", "100", "red", "21", "-fill"});
  EXPECT_EQ(px(100, 100), 0xFF0000u);
  EXPECT_EQ(px(100 + 9, 100), 0xFF0000u);
  EXPECT_EQ(px(100 + 12, 100), kBack);
  EXPECT_EQ(px(100 + 9, 100 + 9), kBack);  // outside the radius on the diagonal
  // An outline leaves its middle alone.
  win({"circle", "300", "100", "yellow", "41"});
  EXPECT_EQ(px(300, 100), kBack);
  EXPECT_EQ(px(300 + 20, 100), 0xFFFF00u);
  EXPECT_EQ(px(300 + 23, 100), kBack);
  // The ring is closed: every row it crosses has ink at both sides, and
  // its top and bottom are inked too.
  EXPECT_EQ(px(300, 80), 0xFFFF00u);
  EXPECT_EQ(px(300, 120), 0xFFFF00u);
  for (int y = 81; y < 120; ++y) {
    int inked = 0;
    for (int x = 270; x < 331; ++x) inked += px(x, y) != kBack;
    EXPECT_GE(inked, 2) << y;
    EXPECT_LE(inked, 24) << y;
  }
}

TEST_F(Drawing, LinesCoverTheirEndPointsAndDottedLinesLeaveGaps) {
  win({"line", "10", "10", "200", "90", "cyan", "1"});
  EXPECT_NE(px(10, 10), kBack);
  EXPECT_NE(px(200, 90), kBack);
  win({"line", "10", "200", "300", "200", "#00FF00", "6"});
  for (int x : {10, 150, 300}) EXPECT_EQ(px(x, 200), 0x00FF00u) << x;
  EXPECT_EQ(px(150, 197), 0x00FF00u);
  EXPECT_EQ(px(150, 202), 0x00FF00u);
  EXPECT_EQ(px(150, 204), kBack);
  win({"line", "10", "300", "300", "300", "white", "1", "-dot"});
  int on = 0, off = 0;
  for (int x = 10; x <= 300; ++x) (px(x, 300) == 0xFFFFFFu ? on : off)++;
  EXPECT_GT(on, 50);
  EXPECT_GT(off, 50);
  EXPECT_NE(px(10, 300), kBack);  // the pattern starts with ink
}

TEST_F(Drawing, RectAndBoxes) {
  win({"rect", "20", "20", "50", "30", "red", "3"});
  EXPECT_EQ(px(20, 20), 0xFF0000u);
  EXPECT_EQ(px(22, 35), 0xFF0000u);
  EXPECT_EQ(px(23, 35), kBack);
  EXPECT_EQ(px(69, 49), 0xFF0000u);
  EXPECT_EQ(px(70, 50), kBack);
  // Without a pen a rectangle is filled.
  win({"rect", "100", "20", "10", "10", "blue"});
  EXPECT_EQ(px(105, 25), 0x0000FFu);
  EXPECT_EQ(px(110, 25), kBack);
  // One colour makes a solid box of cells.
  win({"box", "40", "1", "3", "2", "yellow"});
  const int cw0 = owin::theWindow().cellWidth(), ch0 = owin::theWindow().cellHeight();
  for (int y = ch0; y < 3 * ch0; ++y)
    for (int x = 40 * cw0; x < 43 * cw0; ++x) ASSERT_EQ(px(x, y), 0xFFFF00u) << x << "," << y;
  EXPECT_EQ(px(43 * cw0, ch0), kBack);
  // A box fills its cells with the second colour; -nofill leaves them alone.
  win({"box", "20", "10", "10", "5", "black", "blue"});
  const int cw = owin::theWindow().cellWidth(), ch = owin::theWindow().cellHeight();
  EXPECT_EQ(px(21 * cw + cw / 2, 11 * ch + 2), 0x0000FFu);
  win({"line", "0", "400", "639", "400", "magenta", "1"});
  win({"box", "0", "19", "20", "12", "yellow", "-nofill"});
  EXPECT_EQ(px(5 * cw, 400), 0xFF00FFu);  // inside untouched
  const int edgeX = (cw - 1) / 2;
  EXPECT_EQ(px(edgeX - 1, 19 * ch + ch / 2 + 3), 0xFFFF00u);  // the left edge's double line
  EXPECT_EQ(px(edgeX, 19 * ch + ch / 2 + 3), kBack);           // between its lines: background kept
}

TEST_F(Drawing, CharactersInkOnlyTheirCell) {
  const int cw = owin::theWindow().cellWidth(), ch = owin::theWindow().cellHeight();
  for (std::string c : {"A", "g", "\xC5", "\xDA", "\xBA", "\x10", "\x11", "\x1E"}) {
    win({"cls"});
    win({"gotoxy", "10", "5"});
    win({"puts", c, "-nonewline"});
    int inside, outside;
    // The cell's background is the same as the screen's here.
    inkIn(10 * cw, 5 * ch, 11 * cw, 6 * ch, inside, outside);
    EXPECT_GT(inside, 3) << static_cast<int>(static_cast<unsigned char>(c[0]));
    EXPECT_EQ(outside, 0) << static_cast<int>(static_cast<unsigned char>(c[0]));
  }
  // Box-drawing lines reach the edges of their cells so that they join.
  win({"cls"});
  win({"gotoxy", "10", "5"});
  win({"puts", "\xC4\xC4"});
  for (int x = 10 * cw; x < 12 * cw; ++x) EXPECT_NE(px(x, 5 * ch + (ch - 1) / 2), kBack) << x;
  // Cells count from 0 at the top left; words after the cell are ignored.
  EXPECT_EQ(win({"xpos", "10", "ignored", "words"}), std::to_string(10 * cw));
  EXPECT_EQ(win({"ypos", "5"}), std::to_string(5 * ch));
  EXPECT_EQ(win({"xpos", "0"}), "0");
}

TEST_F(Drawing, RotatedTextStaysInsideItsTurnedBox) {
  for (const char* angle : {"0", "261", "900", "2200", "3600", "-450", "123456789"}) {
    win({"cls"});
    win({"setpos", "320", "240"});
    win({"puts", "DOWN->", "-size2", "14", "-rot", angle});
    int inside, outside;
    // The text is at most 6 x 0.6 x 18.7 px long and 23 px high: whatever
    // the angle, it lies within that distance of its corner.
    inkIn(320 - 80, 240 - 80, 320 + 80, 240 + 80, inside, outside);
    EXPECT_GT(inside, 30) << angle;
    EXPECT_EQ(outside, 0) << angle;
  }
  // 26.1 degrees counter-clockwise: the end of the text is higher than its start.
  win({"cls"});
  win({"setpos", "320", "240"});
  win({"puts", "MMMMMMMM", "-size2", "14", "-rot", "261"});
  int rightTop = 480, leftTop = 480;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      if (px(x, y) != kBack) {
        if (x > 380) rightTop = std::min(rightTop, y);
        if (x < 340) leftTop = std::min(leftTop, y);
      }
  EXPECT_LT(rightTop, leftTop);
}

TEST_F(Drawing, SizedTextFillsItsBoxUnlessSize2) {
  win({"textcolor", "white", "blue"});
  win({"setpos", "100", "100"});
  win({"puts", "OFF", "-size", "6"});
  EXPECT_EQ(px(100, 100), 0x0000FFu);
  win({"setpos", "300", "100"});
  win({"puts", "OFF", "-size2", "6"});
  EXPECT_EQ(px(300, 100), kBack);
}

TEST_F(Drawing, SnapshotDecodesToTheSamePixels) {
  win({"circle", "320", "240", "#CD7F32", "101", "-fill"});
  win({"puts", "Snapshot \xC9\xCD\xBB", "-size", "12"});
  win({"line", "0", "0", "639", "479", "#123456", "3"});
  const std::string file = (std::filesystem::temp_directory_path() / "orvel_win_snapshot_test.png").string();
  win({"snapshot", file});
  int w = 0, h = 0, n = 0;
  unsigned char* data = stbi_load(file.c_str(), &w, &h, &n, 3);
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(w, 640);
  ASSERT_EQ(h, 480);
  int differ = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = data + (static_cast<size_t>(y) * w + x) * 3;
      uint32_t v = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
      if (v != px(x, y)) ++differ;
    }
  stbi_image_free(data);
  std::filesystem::remove(file);
  EXPECT_EQ(differ, 0);
  EXPECT_EQ(run({"win", "snapshot", "/no/such/folder/x.png"}).code, ORVEL_ERROR);
}

TEST_F(Drawing, NothingDrawsOutsideTheCanvasAndWildInputFailsCleanly) {
  // Far-away coordinates, huge sizes and texts are clipped.
  win({"line", "-1000000000", "-5", "1000000000", "5", "red", "3"});
  win({"line", "-99999999", "-99999999", "99999999", "99999999", "red", "1", "-dot"});
  win({"circle", "-100000", "-100000", "red", "999999", "-fill"});
  win({"circle", "320", "240", "red", "0"});
  win({"rect", "-50", "-50", "100000", "100000", "red", "7"});
  win({"box", "-100", "-100", "1000000", "1000000", "red", "blue"});
  win({"setpos", "600", "470"});
  win({"puts", std::string(200000, 'X'), "-size", "500", "-rot", "-77777"});
  win({"puts", std::string(200000, '\xDB')});
  win({"para", "630", "470", "7", "7", "63", "52", "black", "2"});
  struct Bad {
    std::vector<std::string> words;
    const char* message;
  };
  const Bad bad[] = {
      {{"win", "frobnicate"}, "unknown subcommand"},
      {{"win", "line", "1", "2", "3"}, "wrong # args"},
      {{"win", "line", "1", "2", "3", "x"}, "is not a number"},
      {{"win", "line", "1", "2", "3", "4", "mauve"}, "unknown colour"},
      {{"win", "line", "1", "2", "3", "4", "red", "-2"}, "out of range"},
      {{"win", "circle", "1", "2", "red", "-5"}, "out of range"},
      {{"win", "rect", "1", "2", "-3", "4", "red"}, "out of range"},
      {{"win", "box", "1", "2", "3", "-4", "red"}, "out of range"},
      {{"win", "puts", "x", "-size", "-3"}, "out of range"},
      {{"win", "puts", "x", "-size"}, "needs a value"},
      {{"win", "puts", "x", "-rot", "nan"}, "is not a number"},
      {{"win", "puts", "x", "-bold"}, "unknown option"},
      {{"win", "textcolor", "#12345G"}, "unknown colour"},
      {{"win", "cursor", "blink"}, "hide or show"},
      {{"win", "create", "-w", "100"}, "already"},
      {{"win", "speed", "0"}, "out of range"},
      {{"win", "snooze", "soon"}, "is not a number"},
      {{"win"}, "wrong # args"},
  };
  for (const Bad& b : bad) {
    harness::Outcome o = run(b.words);
    EXPECT_EQ(o.code, ORVEL_ERROR) << b.words[1];
    EXPECT_NE(o.result.find(b.message), std::string::npos) << o.result;
  }
}

TEST(WindowLife, DrawingNeedsAWindowAndTheHeadlessSwitchApplies) {
  EXPECT_EQ(win({"active"}), "0");
  harness::Outcome o = run({"win", "circle", "1", "1", "red", "5"});
  EXPECT_EQ(o.code, ORVEL_ERROR);
  EXPECT_NE(o.result.find("win create"), std::string::npos);
  // The test runs with ORVEL_WIN_HEADLESS=1: a plain create is headless.
  EXPECT_EQ(win({"create", "-fullscreen", "-smallfont"}), "1");
  EXPECT_TRUE(owin::theWindow().headless());
  EXPECT_EQ(win({"width"}), "1920");
  // The small font gives at least 160 columns and 60 rows.
  EXPECT_GE(std::stoi(win({"columns"})), 160);
  EXPECT_GE(std::stoi(win({"rows"})), 60);
  EXPECT_EQ(win({"active"}), "1");
  EXPECT_EQ(win({"paint", "1"}), "0");
  int keys[4];
  EXPECT_EQ(_pump_events(keys, 4), 0);
  win({"close"});
  EXPECT_EQ(win({"active"}), "0");
  EXPECT_EQ(run({"win", "cls"}).code, ORVEL_ERROR);
  win({"close"});  // closing twice is harmless
  EXPECT_EQ(_lib_cleanup(0), 0);
}

}  // namespace
