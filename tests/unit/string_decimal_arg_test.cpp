// The number reader of the string commands (positions, counts, widths).
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "commands/core/string_common.h"

using orvel::strings::decimalArg;

namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

TEST(DecimalArg, SignsSpacesAndTrailingText) {
  EXPECT_EQ(decimalArg("0"), 0);
  EXPECT_EQ(decimalArg("7"), 7);
  EXPECT_EQ(decimalArg("-7"), -7);
  EXPECT_EQ(decimalArg("+7"), 7);
  EXPECT_EQ(decimalArg(" \t\n12"), 12);
  EXPECT_EQ(decimalArg("12abc"), 12);
  EXPECT_EQ(decimalArg("3.9"), 3);
  EXPECT_EQ(decimalArg("0x10"), 0);
  EXPECT_EQ(decimalArg("007"), 7);
  // No digits: 0.
  EXPECT_EQ(decimalArg(""), 0);
  EXPECT_EQ(decimalArg("-"), 0);
  EXPECT_EQ(decimalArg("end"), 0);
  EXPECT_EQ(decimalArg("- 5"), 0);
  EXPECT_EQ(decimalArg("  "), 0);
}

// Eighteen digits are read as they are; from nineteen on the value is
// checked against the limits and saturates.
TEST(DecimalArg, LongNumbersSaturate) {
  EXPECT_EQ(decimalArg("999999999999999999"), 999999999999999999);
  EXPECT_EQ(decimalArg("-999999999999999999"), -999999999999999999);
  EXPECT_EQ(decimalArg("1000000000000000000"), 1000000000000000000);
  EXPECT_EQ(decimalArg("9223372036854775807"), kMax);
  EXPECT_EQ(decimalArg("9223372036854775808"), kMax);
  EXPECT_EQ(decimalArg("-9223372036854775807"), -kMax);
  EXPECT_EQ(decimalArg("-9223372036854775808"), kMin);
  EXPECT_EQ(decimalArg("-9223372036854775809"), kMin);
  EXPECT_EQ(decimalArg("99999999999999999999999"), kMax);
  EXPECT_EQ(decimalArg("-99999999999999999999999"), kMin);
  EXPECT_EQ(decimalArg("0000000000000000000000012"), 12);
  EXPECT_EQ(decimalArg("123456789012345678x9"), 123456789012345678);
}

}  // namespace
