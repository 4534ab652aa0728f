// The three truth tests of the branch and loop commands.
#include <gtest/gtest.h>

#include "commands/core/control_flow_conditions.h"

namespace orvel {
namespace {

TEST(ConditionTruth, RealTest) {
  for (const char* t : {"1", "9", "0.5", "-2", " 3", "1e3", "+.1", "2abc"})
    EXPECT_TRUE(truthReal(t)) << t;
  for (const char* t : {"0", "", "abc", "0.0", "-0", ".", "0e5", " ", "+", "x1", "0x"})
    EXPECT_FALSE(truthReal(t)) << t;
}

TEST(ConditionTruth, IntegerTest) {
  for (const char* t : {"1", "-3", " 7", "007", "12x"}) EXPECT_TRUE(truthInteger(t)) << t;
  for (const char* t : {"0", "0.5", "abc", "", "-0", "+"}) EXPECT_FALSE(truthInteger(t)) << t;
}

TEST(ConditionTruth, NotZeroTextTest) {
  for (const char* t : {"1", "a", "0.01", " ", "-0x"}) EXPECT_TRUE(truthNotZeroText(t)) << t;
  for (const char* t : {"0", "", "-0.0", "+00", "."}) EXPECT_FALSE(truthNotZeroText(t)) << t;
}

}  // namespace
}  // namespace orvel
