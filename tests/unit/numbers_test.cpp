#include "expr/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace orvel;

TEST(Numbers, IntegerOperandConversion) {
  EXPECT_EQ(toInt64("0x1F"), 31);
  EXPECT_EQ(toInt64("0X1f"), 31);
  EXPECT_EQ(toInt64("&hFF"), 255);
  EXPECT_EQ(toInt64("0x1Fzz"), 31);
  EXPECT_EQ(toInt64("0x12345678901234567"), 0);  // 17 digits
  EXPECT_EQ(toInt64("0xFFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(toInt64("0b101"), 5);
  EXPECT_EQ(toInt64("&b11"), 3);
  EXPECT_EQ(toInt64("0b102"), 0);
  EXPECT_EQ(toInt64("0o17"), 15);
  EXPECT_EQ(toInt64("0o"), 0);
  EXPECT_EQ(toInt64("010"), 10);
  EXPECT_EQ(toInt64("  -42xyz"), -42);
  EXPECT_EQ(toInt64("1e5"), 1);
  EXPECT_EQ(toInt64("abc"), 0);
  EXPECT_EQ(toInt64("9223372036854775808"), std::numeric_limits<int64_t>::min());  // wraps
  bool ok = true;
  EXPECT_EQ(toInt64("&q", &ok), 0);
  EXPECT_FALSE(ok);
  toInt64("&h1", &ok);
  EXPECT_TRUE(ok);
}

TEST(Numbers, DecimalConversionIgnoresRadixPrefixes) {
  EXPECT_EQ(decimalInt64("0x10"), 0);
  EXPECT_EQ(decimalInt64(" +17.9"), 17);
  EXPECT_EQ(decimalInt64("-5"), -5);
  EXPECT_EQ(static_cast<uint64_t>(decimalInt64("-1")), std::numeric_limits<uint64_t>::max());
  EXPECT_EQ(decimalInt64(""), 0);
}

TEST(Numbers, TextToDouble) {
  EXPECT_DOUBLE_EQ(textToDouble("  1.5"), 1.5);
  EXPECT_DOUBLE_EQ(textToDouble("+2.25x"), 2.25);
  EXPECT_DOUBLE_EQ(textToDouble("-.5"), -0.5);
  EXPECT_DOUBLE_EQ(textToDouble("1e3"), 1000.0);
  EXPECT_DOUBLE_EQ(textToDouble("0x10"), 0.0);
  EXPECT_DOUBLE_EQ(textToDouble("abc"), 0.0);
  EXPECT_DOUBLE_EQ(textToDouble("+-1"), 0.0);
  EXPECT_DOUBLE_EQ(textToDouble("inf"), 0.0);
  EXPECT_DOUBLE_EQ(textToDouble("-nan"), 0.0);
  EXPECT_TRUE(std::isinf(textToDouble("1e999")));
  EXPECT_DOUBLE_EQ(textToDouble("1e-999"), 0.0);
}

TEST(Numbers, RealOperandTest) {
  for (const char* s : {"1.", ".5", "-2.25", "+0.0", "12.34"}) EXPECT_TRUE(isRealOperand(s)) << s;
  for (const char* s : {"1e5", "1.2.3", "0x1.5", ".", "-.", "5", "", " 1.5", "1.5 ", "abc"})
    EXPECT_FALSE(isRealOperand(s)) << s;
}

TEST(Numbers, NumberKind) {
  EXPECT_EQ(numberKind("42"), kIntegerNumber);
  EXPECT_EQ(numberKind("  -42"), kIntegerNumber);
  EXPECT_EQ(numberKind("1.5"), kRealNumber);
  EXPECT_EQ(numberKind(".5"), kRealNumber);
  EXPECT_EQ(numberKind("5."), kRealNumber);
  EXPECT_EQ(numberKind("0x1F"), kIntegerNumber);   // radix letter followed by a digit
  EXPECT_EQ(numberKind("0b1x"), kIntegerNumber);   // whatever follows
  EXPECT_EQ(numberKind("1.2.3"), kIntegerNumber);  // stops on the second dot
  EXPECT_EQ(numberKind(".5.x"), kIntegerNumber);
  EXPECT_EQ(numberKind("0xFF"), kNotNumber);
  EXPECT_EQ(numberKind("&hFF"), kNotNumber);
  EXPECT_EQ(numberKind("abc"), kNotNumber);
  EXPECT_EQ(numberKind(""), kNotNumber);
  EXPECT_EQ(numberKind("  "), kNotNumber);
  EXPECT_EQ(numberKind("-"), kNotNumber);
  EXPECT_EQ(numberKind("1e5"), kNotNumber);
  EXPECT_EQ(numberKind("1 "), kNotNumber);
}

TEST(Numbers, TruncationOutOfRange) {
  EXPECT_EQ(truncToInt64(-2.9), -2);
  EXPECT_EQ(truncToInt64(1e30), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(truncToInt64(std::nan("")), std::numeric_limits<int64_t>::min());
}

TEST(Numbers, ResultTexts) {
  EXPECT_EQ(intText(-9223372036854775807LL - 1), "-9223372036854775808");
  EXPECT_EQ(uintText(18446744073709551615ULL), "18446744073709551615");
  EXPECT_EQ(realResultText(3.5), "3.500000000000000");
  EXPECT_EQ(realResultText(-0.1), "-0.100000000000000");
  EXPECT_EQ(realResultText(1e25), "10000000000000000905969664.000000000000000");
  // Long texts are never cut: every digit before the point stays.
  EXPECT_EQ(realResultText(1e30), "1000000000000000019884624838656.000000000000000");
  std::string huge = realResultText(-1e300);
  EXPECT_EQ(huge.size(), 1 + 301 + 16u);
  EXPECT_EQ(huge.substr(0, 3), "-10");
  EXPECT_EQ(huge.substr(huge.size() - 16), ".000000000000000");
  EXPECT_EQ(expText(1234.5), "1.234500000000000e+003");
  EXPECT_EQ(expText(-1e-300), "-1.000000000000000e-300");
  EXPECT_EQ(expText(0.0), "0.000000000000000e+000");
}

TEST(Numbers, AssignKeepsCapacity) {
  std::string out;
  out.reserve(64);
  const char* data = out.data();
  assignReal(out, 2.5);
  assignInt(out, 123456789);
  EXPECT_EQ(out, "123456789");
  EXPECT_EQ(out.data(), data);
}

// The eight-at-a-time reader agrees with the plain one on every kind of
// text, whatever the string's buffer holds after the text.
TEST(PlainDecimalText, AgreesWithPlainDecimal) {
  std::vector<std::string> texts = {"",         "0",         "7",        "00",       "09",      "10",
                                    "99999999", "12345678",  "100000000", "123456789", "-5",      "-0",
                                    "1a",       "a1",        " 1",        "1 ",        "+1",      "12345\x7f",
                                    "9/",       ":",         "5\0" "5",   "999999999999999999", "1234567890123456789"};
  texts.push_back(std::string("12\0" "4", 4));
  for (int i = 0; i < 20000; i += 7) texts.push_back(std::to_string(i * 12345 % 100000000));
  for (const std::string& base : texts) {
    std::vector<std::string> forms;
    forms.push_back(base);
    std::string shrunk = "87654321876543218765";  // digits left behind in the buffer
    shrunk.assign(base);
    forms.push_back(shrunk);
    std::string heap(40, '9');
    heap.assign(base);
    forms.push_back(heap);
    for (const std::string& s : forms) {
      int64_t a = -1, b = -1;
      const bool okA = orvel::plainDecimal(s, a);
      const bool okB = orvel::plainDecimalText(s, b);
      EXPECT_EQ(okA, okB) << "'" << s << "'";
      if (okA && okB) {
        EXPECT_EQ(a, b) << s;
      }
      bool digits = !s.empty() && s.size() <= 8;
      for (char c : s) digits = digits && c >= '0' && c <= '9';
      EXPECT_EQ(orvel::shortDigitText(s), digits) << "'" << s << "'";
    }
  }
}
