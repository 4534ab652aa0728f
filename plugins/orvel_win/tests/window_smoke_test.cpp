// A real window when a display is there (the test runs it under Xvfb when
// ORVEL_WIN_TEST_DISPLAY is set): create, draw, wait, pump, close.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "plugin_harness.h"
#include "window.h"

using harness::run;
using harness::win;

namespace {
void setEnv(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value);
#else
  if (*value)
    setenv(name, value, 1);
  else
    unsetenv(name);
#endif
}
}  // namespace

TEST(WindowSmoke, OpensDrawsWaitsAndCloses) {
  const char* display = std::getenv("ORVEL_WIN_TEST_DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no display for a window test (set ORVEL_WIN_TEST_DISPLAY)";
  // The headless switch of the test run must not apply here.
  setEnv("ORVEL_WIN_HEADLESS", "");
  const auto t0 = std::chrono::steady_clock::now();
  std::string handle = win({"create", "-w", "800", "-h", "600", "-smallfont"});
  const auto t1 = std::chrono::steady_clock::now();
  ASSERT_NE(handle, "0");
  EXPECT_FALSE(owin::theWindow().headless());
  std::printf("create to first frame: %.1f ms\n", std::chrono::duration<double, std::milli>(t1 - t0).count());
  EXPECT_EQ(win({"active"}), "1");
  win({"textcolor", "black", "grey"});
  win({"cls"});
  win({"circle", "100", "100", "red", "40", "-fill"});
  win({"puts", "window test", "-size", "12"});
  win({"snooze", "200"});
  int keys[8];
  EXPECT_GE(_pump_events(keys, 8), 0);
  EXPECT_EQ(win({"active"}), "1");
  EXPECT_EQ(owin::theWindow().canvas().at(100, 100), 0xFF0000u);
  win({"close"});
  EXPECT_EQ(win({"active"}), "0");
  EXPECT_EQ(run({"win", "line", "0", "0", "1", "1"}).code, ORVEL_ERROR);
  setEnv("ORVEL_WIN_HEADLESS", "1");
}

TEST(WindowSmoke, HeadlessCreateTime) {
  const auto t0 = std::chrono::steady_clock::now();
  win({"create", "-headless", "-w", "800", "-h", "600", "-smallfont"});
  const auto t1 = std::chrono::steady_clock::now();
  std::printf("headless create: %.1f ms\n", std::chrono::duration<double, std::milli>(t1 - t0).count());
  win({"close"});
}
