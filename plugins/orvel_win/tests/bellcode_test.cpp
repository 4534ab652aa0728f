// Bell codes: parsing, the rhythm of the strokes (with a recording stroke
// and a clock that only counts), and the command's failures.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "commands.h"
#include "plugin_harness.h"
#include "window.h"

using harness::run;

TEST(BellCode, ParsesGroupsAndRefusesOtherTexts) {
  std::vector<int> g;
  std::string why;
  ASSERT_TRUE(owin::parseBellCode("3-1-1", g, why));
  EXPECT_EQ(g, (std::vector<int>{3, 1, 1}));
  ASSERT_TRUE(owin::parseBellCode("5-5-5", g, why));
  EXPECT_EQ(g, (std::vector<int>{5, 5, 5}));
  ASSERT_TRUE(owin::parseBellCode("16", g, why));
  EXPECT_EQ(g, (std::vector<int>{16}));
  for (const char* bad : {"", "-", "3-", "-3", "3--1", "3-x", "0", "1-0-1", "21", "1 2", "3.1", "1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1"})
    EXPECT_FALSE(owin::parseBellCode(bad, g, why)) << bad;
}

TEST(BellCode, RingsWithTheSignalmansRhythm) {
  // A clock advanced only by the waits; each stroke notes the time.
  int64_t now = 0;
  std::vector<int64_t> strokes;
  int n = owin::ringBellCode({3, 1, 1}, [&] { strokes.push_back(now); }, [&](int64_t ms) { now += ms; }, 700);
  EXPECT_EQ(n, 5);
  const int64_t s = owin::kStrokeGapMs, g = owin::kGroupGapMs;
  EXPECT_EQ(strokes, (std::vector<int64_t>{0, s, 2 * s, 2 * s + g, 2 * s + 2 * g}));
  EXPECT_EQ(now, 2 * s + 2 * g + 700);  // returns after the last stroke died away
  EXPECT_GE(s, 250);
  EXPECT_LE(s, 450);
  EXPECT_GE(g, 800);
  EXPECT_LE(g, 1300);
}

namespace {
// A short 8-bit mono WAV image.
std::string tinyWav(int frames) {
  std::string d(static_cast<size_t>(frames), '\x80');
  auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  return "RIFF" + u32(36 + frames) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(8000) + u32(8000) + u16(1) + u16(8) +
         "data" + u32(frames) + d;
}
}  // namespace

TEST(BellCode, CommandRingsAtTheChosenSpeedAndReportsFailures) {
  const auto dir = std::filesystem::temp_directory_path();
  const std::string wav = (dir / "orvel_win_bell_test.wav").string();
  const std::string junk = (dir / "orvel_win_bell_junk.wav").string();
  std::ofstream(wav, std::ios::binary) << tinyWav(800);
  std::ofstream(junk, std::ios::binary) << "not a sound at all";
  harness::win({"speed", "20"});
  // The first stroke starts the sound layer (which may take a while to find
  // that there is no device): not timed.
  ASSERT_EQ(run({"bellcode", "1", wav}).code, ORVEL_OK);
  const auto t0 = std::chrono::steady_clock::now();
  harness::Outcome o = run({"bellcode", "3-1-1", wav});
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_EQ(o.code, ORVEL_OK) << o.result;
  EXPECT_EQ(o.result, "5");
  // 2 x 330 + 2 x 1000 + 100 (the sound's length) ms at 20 times the speed.
  EXPECT_GE(ms, 2760 / 20 - 15);
  // Generous: the test machine may be busy. Under Wine without an audio
  // device each PlaySoundA call of the Windows sound layer blocks for about
  // a second, so there only the lower bound holds.
  if (!std::getenv("WINEPREFIX")) {
    EXPECT_LT(ms, 2760 / 20 + 1000);
  }
  harness::win({"speed", "1"});

  struct Bad {
    std::vector<std::string> words;
    const char* message;
  };
  const Bad bad[] = {{{"bellcode", "3-x", wav}, "bad bell code"},
                     {{"bellcode", "2-1", "/no/such/bell.wav"}, "can't read"},
                     {{"bellcode", "2-1", junk}, "\""},
                     {{"bellcode", "2-1"}, "wrong # args"}};
  for (const Bad& b : bad) {
    harness::Outcome r = run(b.words);
    EXPECT_EQ(r.code, ORVEL_ERROR) << b.words[1];
    EXPECT_NE(r.result.find(b.message), std::string::npos) << r.result;
    std::vector<std::string> quiet = b.words;
    quiet.push_back("-nocomplain");
    harness::Outcome q = run(quiet);
    EXPECT_EQ(q.code, ORVEL_OK) << b.words[1];
    EXPECT_EQ(q.result, "");
  }
  std::filesystem::remove(wav);
  std::filesystem::remove(junk);
}

TEST(BellCode, SpeedShortensSnoozes) {
  harness::win({"create", "-headless", "-w", "100", "-h", "100"});
  harness::win({"speed", "10"});
  const auto t0 = std::chrono::steady_clock::now();
  harness::win({"snooze", "1000"});
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_GE(ms, 95);
  EXPECT_LT(ms, 600);
  harness::win({"speed", "1"});
  harness::win({"close"});
}
