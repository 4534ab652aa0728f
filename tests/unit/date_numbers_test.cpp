// Date numbers: the text shapes the converter reads and the ones it refuses.
#include <gtest/gtest.h>

#include "commands/system/date_numbers.h"
#include "platform/timing.h"

using namespace orvel;

TEST(DateNumbers, FixedDays) {
  EXPECT_EQ(dateTextToNumber("1899/12/30"), 0.0);
  EXPECT_EQ(dateTextToNumber("1970/01/01"), 25569.0);
  EXPECT_EQ(dateTextToNumber("19700101"), 25569.0);
  EXPECT_EQ(dateTextToNumber("1970-1-1"), 25569.0);
  EXPECT_EQ(dateTextToNumber("1970/Jan/1"), 25569.0);
  EXPECT_EQ(dateTextToNumber("1/1/1970"), 25569.0);
  EXPECT_EQ(dateTextToNumber("01-JAN-1970"), 25569.0);
  EXPECT_EQ(dateTextToNumber("2000/3/1") - dateTextToNumber("2000/2/28"), 2.0);
  EXPECT_EQ(dateTextToNumber("1900/3/1") - dateTextToNumber("1900/2/28"), 1.0);
  EXPECT_EQ(dateTextToNumber("2023/5/14"), 45060.0);
}

TEST(DateNumbers, RefusedShapes) {
  for (const char* t : {"", "2023", "2023/5", "23/5/14/", "2023/13/1", "2023/0/1", "2023/1/0", "2023/1/32",
                        "32/1/2023", "0/Jan/2023", "2023/Foo/1", "20x3/1/1", "202305", "2023051x", "12345/1/1",
                        "1/1/23"})
    EXPECT_EQ(dateTextToNumber(t), kNotADate) << t;
}

TEST(DateNumbers, ClockTexts) {
  double f = -1;
  EXPECT_TRUE(clockTextFraction("12:30", f));
  EXPECT_DOUBLE_EQ(f, 0.5208333333333334);
  EXPECT_FALSE(clockTextFraction(":30", f));
  EXPECT_FALSE(clockTextFraction("1:2:3:4", f));
  EXPECT_FALSE(clockTextFraction("123456:78", f));  // ten characters
  EXPECT_FALSE(clockTextFraction("12", f));
  EXPECT_FALSE(clockTextFraction("1a:30", f));
  EXPECT_FALSE(clockTextFraction("99999:0", f));
}

TEST(TimingLayer, MultimediaTimerFollowsTheMonotonicClock) {
  uint32_t a = plat::multimediaMs();
  plat::sleepMs(30);
  uint32_t d = plat::multimediaMs() - a;  // wraps like the system's timer
  EXPECT_GE(d, 25u);
  EXPECT_LT(d, 5000u);
  uint64_t u = plat::monotonicUs();
  EXPECT_GE(plat::monotonicUs(), u);
}

TEST(TimingLayer, LocalTimesOutOfRangeAreRefused) {
  plat::LocalTime t{};
  std::string out = "x";
  EXPECT_FALSE(plat::formatLocalTime(INT64_MAX, "%Y", 128, out));
  EXPECT_EQ(out, "");
  EXPECT_FALSE(plat::localTimeOf(INT64_MAX, t));
  EXPECT_TRUE(plat::localTimeOf(0, t));
}
