// The platform layer: attribute translation, key decoding, capture, the
// behaviour without a terminal, environment, clock and child processes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/console.h"
#include "platform/console_common.h"
#include "platform/shell_words.h"
#include "platform/system.h"

namespace {

using plat::detail::sgrForAttribute;

TEST(PlatformAttributes, ConsoleColoursBecomeAnsiColours) {
  EXPECT_EQ(sgrForAttribute(7), "\x1b[0m");             // normal: terminal default
  EXPECT_EQ(sgrForAttribute(12), "\x1b[0;91;40m");      // light red on black
  EXPECT_EQ(sgrForAttribute(0x1F), "\x1b[0;97;44m");    // bright white on blue
  EXPECT_EQ(sgrForAttribute(0x4F), "\x1b[0;97;41m");    // white on red
  EXPECT_EQ(sgrForAttribute(0xE0), "\x1b[0;30;103m");   // black on yellow
  EXPECT_EQ(sgrForAttribute(1), "\x1b[0;34;40m");       // dark blue
  EXPECT_EQ(sgrForAttribute(6), "\x1b[0;33;40m");       // dark yellow
  EXPECT_EQ(sgrForAttribute(13), "\x1b[0;95;40m");      // light magenta
  EXPECT_EQ(sgrForAttribute(0x107), "\x1b[0m");         // only the low byte counts
}

TEST(PlatformKeys, TerminalSequencesBecomeConsoleKeyCodes) {
  struct Case { const char* seq; int scan; };
  const Case cases[] = {{"[A", 72}, {"[B", 80}, {"[C", 77}, {"[D", 75}, {"OH", 71},
                        {"[F", 79}, {"OP", 59}, {"OS", 62}, {"[15~", 63}, {"[21~", 68},
                        {"[24~", 134}, {"[3~", 83}, {"[5~", 73}, {"[1;5A", 72},
                        {"[3;2~", 83}, {"[[A", 59}};
  for (const Case& c : cases) {
    std::deque<int> keys;
    ASSERT_TRUE(plat::detail::decodeEscapeSequence(c.seq, keys)) << c.seq;
    ASSERT_EQ(keys.size(), 2u) << c.seq;
    EXPECT_EQ(keys[0], plat::detail::kSpecialKeyPrefix) << c.seq;
    EXPECT_EQ(keys[1], c.scan) << c.seq;
  }
  for (const char* bad : {"[99~", "[~", "[2J", "x", "[12345678901~", "[1;xA", ""}) {
    std::deque<int> keys;
    EXPECT_FALSE(plat::detail::decodeEscapeSequence(bad, keys)) << bad;
    EXPECT_TRUE(keys.empty()) << bad;
  }
  EXPECT_EQ(plat::detail::consoleCodeForByte(0x7F), 8);
  EXPECT_EQ(plat::detail::consoleCodeForByte('\n'), 13);
  EXPECT_EQ(plat::detail::consoleCodeForByte('a'), 'a');
  EXPECT_EQ(plat::detail::consoleCodeForByte(0xE9), 0xE9);
}

TEST(PlatformCursor, TrackingFollowsLineEndsAndWrapping) {
  int x = 1, y = 1;
  plat::detail::advanceCursor("ab\r\ncd", 80, 25, x, y);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 2);
  x = 1; y = 1;
  plat::detail::advanceCursor("abcd", 3, 25, x, y);  // wraps after the third column
  EXPECT_EQ(x, 2);
  EXPECT_EQ(y, 2);
  x = 1; y = 24;
  plat::detail::advanceCursor("\n\n\n", 80, 25, x, y);  // the screen scrolls
  EXPECT_EQ(y, 25);
  x = 3; y = 1;
  plat::detail::advanceCursor("\t\b", 80, 25, x, y);
  EXPECT_EQ(x, 8);
}

TEST(PlatformTitle, ControlCharactersCannotEscapeTheTitle) {
  EXPECT_EQ(plat::detail::sanitizeTitle("a\x1b]0;x\x07" "b\r\n"), "a]0;xb");
  EXPECT_EQ(plat::detail::sanitizeTitle("Signal box 2"), "Signal box 2");
}

TEST(PlatformConsole, CaptureTakesOutputAndErrorsButNoControl) {
  std::string sink;
  int before = plat::getAttribute();
  plat::setCapture(&sink);
  EXPECT_EQ(plat::capture(), &sink);
  plat::writeOut("one\r\n");
  plat::setAttribute(12);
  plat::setCursor(5, 5);
  plat::clearScreen('#', 0x1F);
  plat::fillToLineEnd('-');
  plat::writeErr("two");
  EXPECT_EQ(plat::getAttribute(), 12);
  plat::setAttribute(before);
  plat::setCapture(nullptr);
  EXPECT_EQ(plat::capture(), nullptr);
  EXPECT_EQ(sink, "one\r\ntwo");
}

TEST(PlatformConsole, WithoutTerminalNothingBlocks) {
  if (plat::stdoutIsTerminal() || plat::stdinIsTerminal()) GTEST_SKIP() << "runs only without a terminal";
  int x = 0, y = 0;
  EXPECT_FALSE(plat::getCursor(x, y));
  EXPECT_EQ(plat::pollKey(), 0);
  EXPECT_FALSE(plat::keyWaiting());
  // Keys read from redirected input: the bytes, Enter as 13, then Escape
  // at the end of the input.
  auto path = std::filesystem::temp_directory_path() / ("orvel_keys_" + std::to_string(plat::processId()));
  { std::ofstream(path, std::ios::binary) << "q\n"; }
  ASSERT_NE(std::freopen(path.string().c_str(), "rb", stdin), nullptr);
  EXPECT_EQ(plat::readKey(), 'q');
  EXPECT_EQ(plat::readKey(), 13);
  EXPECT_EQ(plat::readKey(), 27);
  EXPECT_EQ(plat::readKey(), 27);
  { std::ofstream(path, std::ios::binary) << "first line\r\nsecond"; }
  ASSERT_NE(std::freopen(path.string().c_str(), "rb", stdin), nullptr);
  std::string line;
  ASSERT_TRUE(plat::readLine(line));
  EXPECT_EQ(line, "first line");
  ASSERT_TRUE(plat::readLine(line));
  EXPECT_EQ(line, "second");
  EXPECT_FALSE(plat::readLine(line));
#ifdef _WIN32
  std::freopen("NUL", "rb", stdin);  // an open file cannot be removed there
#else
  std::freopen("/dev/null", "rb", stdin);
#endif
  std::error_code ec;
  std::filesystem::remove(path, ec);
}

TEST(PlatformSystem, EnvironmentReachesChildProcesses) {
  ASSERT_TRUE(plat::setEnv("ORVEL_PLATFORM_TEST", "42"));
  std::string value;
  ASSERT_TRUE(plat::getEnv("ORVEL_PLATFORM_TEST", value));
  EXPECT_EQ(value, "42");
  bool listed = false;
  for (const std::string& e : plat::environment()) listed = listed || e == "ORVEL_PLATFORM_TEST=42";
  EXPECT_TRUE(listed);
  int code = -1;
#ifdef _WIN32
  ASSERT_TRUE(plat::runShell("exit %ORVEL_PLATFORM_TEST%", code));
#else
  ASSERT_TRUE(plat::runShell("exit $ORVEL_PLATFORM_TEST", code));
#endif
  EXPECT_EQ(code, 42);
  ASSERT_TRUE(plat::runShell("exit 0", code));
  EXPECT_EQ(code, 0);

  ASSERT_TRUE(plat::setEnv("ORVEL_PLATFORM_TEST", ""));
  ASSERT_TRUE(plat::getEnv("ORVEL_PLATFORM_TEST", value));
  EXPECT_EQ(value, "");
  EXPECT_FALSE(plat::getEnv("ORVEL_PLATFORM_TEST_UNSET_NAME", value));
  EXPECT_FALSE(plat::setEnv("BAD=NAME", "x"));
  EXPECT_FALSE(plat::setEnv("", "x"));
}

TEST(PlatformSystem, ClockAndIdentity) {
  uint64_t t0 = plat::tickMs();
  plat::sleepMs(60);
  uint64_t elapsed = plat::tickMs() - t0;
  EXPECT_GE(elapsed, 45u);
  EXPECT_LT(elapsed, 5000u);
  plat::sleepMs(-5);  // returns at once

  static const int before[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  for (const plat::LocalTime& t : {plat::localTime(), plat::systemTime()}) {
    EXPECT_GE(t.year, 2020);
    ASSERT_GE(t.month, 1);
    ASSERT_LE(t.month, 12);
    EXPECT_GE(t.day, 1);
    EXPECT_LE(t.day, 31);
    EXPECT_LE(t.hour, 23);
    EXPECT_LE(t.minute, 59);
    EXPECT_LE(t.second, 59);
    EXPECT_LE(t.millisecond, 999);
    EXPECT_LE(t.weekday, 6);
    bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    EXPECT_EQ(t.yearday, before[t.month - 1] + t.day + (leap && t.month > 2 ? 1 : 0));
  }

  std::string self = plat::modulePath();
  ASSERT_FALSE(self.empty());
  EXPECT_TRUE(std::filesystem::exists(self)) << self;
  EXPECT_NE(self.find("orvel_unit_tests"), std::string::npos) << self;
  EXPECT_GT(plat::processId(), 0);
  EXPECT_FALSE(plat::hostName().empty());
  EXPECT_FALSE(plat::userName().empty());
  EXPECT_FALSE(plat::isWow64());  // a 64-bit build never runs under WOW64
}

}  // namespace

#ifndef _WIN32
// Only a line the shell would run as one program with its words as they
// stand skips the shell.
TEST(PlatformShellWords, PlainCommandLinesAndTheRest) {
  using V = std::vector<std::string>;
  EXPECT_EQ(plat::plainCommandWords("/bin/true"), V{"/bin/true"});
  EXPECT_EQ(plat::plainCommandWords("  ls\t-l  /tmp/a.b,c:d+e@f%g "), (V{"ls", "-l", "/tmp/a.b,c:d+e@f%g"}));
  EXPECT_EQ(plat::plainCommandWords("make CC=gcc all"), (V{"make", "CC=gcc", "all"}));
  for (const char* line : {"", "   ", "A=1 prog", "echo hi", "cd /tmp", "exit 3", "true", "if x", "ls *.c",
                           "ls ~", "ls $HOME", "a;b", "a && b", "a | b", "a > f", "a < f", "a # c", "'a'",
                           "\"a\"", "a\\ b", "a `b`", "a(b)", "{ a; }", "a&", "ls [ab]", "ls a?", "a\nb", "!a"})
    EXPECT_TRUE(plat::plainCommandWords(line).empty()) << line;
}
#endif
