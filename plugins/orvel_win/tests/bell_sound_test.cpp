// The bell heard: a code rung through SDL's disk audio driver (the test is
// run with SDL_AUDIODRIVER=disk and SDL_DISKAUDIOFILE naming the capture),
// whose captured stream must hold the strokes with the code's rhythm.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "commands.h"
#include "plugin_harness.h"

namespace {
// A 60 ms tone of 1 kHz, 16-bit mono at 22050 Hz.
std::string strokeWav() {
  const int rate = 22050, frames = rate * 60 / 1000;
  std::string data;
  for (int i = 0; i < frames; ++i) {
    auto v = static_cast<int16_t>(std::lround(20000 * std::sin(2 * 3.14159265358979 * 1000 * i / rate)));
    data += static_cast<char>(v & 0xFF);
    data += static_cast<char>((v >> 8) & 0xFF);
  }
  auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  auto u16 = [](uint16_t v) { return std::string{char(v), char(v >> 8)}; };
  return "RIFF" + u32(36 + static_cast<uint32_t>(data.size())) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(rate) +
         u32(rate * 2) + u16(2) + u16(16) + "data" + u32(static_cast<uint32_t>(data.size())) + data;
}
}  // namespace

TEST(BellSound, StrokesAreHeardWithTheCodesRhythm) {
#if !ORVEL_WIN_SOUND
  GTEST_SKIP() << "built without the sound layer";
#endif
  const char* driver = std::getenv("SDL_AUDIODRIVER");
  const char* capture = std::getenv("SDL_DISKAUDIOFILE");
  if (!driver || std::string(driver) != "disk" || !capture) GTEST_SKIP() << "needs SDL_AUDIODRIVER=disk";
  const std::string wav = (std::filesystem::temp_directory_path() / "orvel_win_stroke.wav").string();
  std::ofstream(wav, std::ios::binary) << strokeWav();
  harness::Outcome o = harness::run({"bellcode", "3-1-1", wav});
  ASSERT_EQ(o.code, ORVEL_OK) << o.result;
  EXPECT_EQ(o.result, "5");
  // Let the driver write out what it holds.
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  std::ifstream in(capture, std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(raw.size(), 44100u * 4) << "the capture holds less than a second";
  // 16-bit stereo at 44100 Hz: an onset is a loud frame after 100 ms of quiet.
  const size_t frames = raw.size() / 4;
  std::vector<double> onsets;
  size_t quiet = 44100;
  for (size_t f = 0; f < frames; ++f) {
    auto s = static_cast<int16_t>(static_cast<uint8_t>(raw[f * 4]) | (static_cast<uint8_t>(raw[f * 4 + 1]) << 8));
    if (std::abs(s) > 3000) {
      if (quiet >= 4410) onsets.push_back(1000.0 * static_cast<double>(f) / 44100);
      quiet = 0;
    } else {
      ++quiet;
    }
  }
  ASSERT_EQ(onsets.size(), 5u);
  const double expected[4] = {owin::kStrokeGapMs, owin::kStrokeGapMs, owin::kGroupGapMs, owin::kGroupGapMs};
  // The driver's stream follows the clock only as closely as its thread is
  // scheduled (a busy machine shifts strokes by some buffers), so the
  // rhythm is checked loosely here (the exact spacing is checked with a
  // counting clock in bellcode_test): strokes within a group are heard
  // closer together than the groups, each gap within half its length.
  std::vector<double> gaps;
  for (size_t i = 0; i + 1 < onsets.size(); ++i) gaps.push_back(onsets[i + 1] - onsets[i]);
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(gaps[i], expected[i], expected[i] / 2) << "gap " << i;
  EXPECT_LT(std::max(gaps[0], gaps[1]), std::min(gaps[2], gaps[3]));
  std::filesystem::remove(wav);
}
