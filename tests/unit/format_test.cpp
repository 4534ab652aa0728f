// The formatting engine behind `format`.
#include <gtest/gtest.h>

#include "commands/core/string_format.h"

using orvel::strings::formatText;

namespace {

std::string fmt(std::string_view f, std::vector<std::string> args = {}, bool unescape = false) {
  std::string out, err;
  EXPECT_TRUE(formatText(f, args, unescape, out, err)) << f << ": " << err;
  return out;
}

std::string fmtError(std::string_view f, std::vector<std::string> args = {}) {
  std::string out, err;
  EXPECT_FALSE(formatText(f, args, false, out, err)) << f;
  return err;
}

TEST(FormatText, IntegersAre32BitUnlessWide) {
  EXPECT_EQ(fmt("%d", {"4294967297"}), "1");
  EXPECT_EQ(fmt("%ld", {"4294967297"}), "1");
  EXPECT_EQ(fmt("%lld", {"4294967297"}), "4294967297");
  EXPECT_EQ(fmt("%I64d", {"-9223372036854775808"}), "-9223372036854775808");
  EXPECT_EQ(fmt("%d", {"2147483648"}), "-2147483648");
  EXPECT_EQ(fmt("%u", {"-1"}), "4294967295");
  EXPECT_EQ(fmt("%llu", {"-1"}), "18446744073709551615");
  EXPECT_EQ(fmt("%x|%X|%llx", {"-1", "255", "-1"}), "ffffffff|FF|ffffffffffffffff");
  EXPECT_EQ(fmt("%o", {"8"}), "10");
  // Arguments are decimal: text after the digits is ignored, no digits is 0.
  EXPECT_EQ(fmt("%d|%d|%d", {" 42abc", "3.9", "0x10"}), "42|3|0");
  // Out-of-range decimal text saturates instead of wrapping.
  EXPECT_EQ(fmt("%lld", {"99999999999999999999"}), "9223372036854775807");
}

TEST(FormatText, IntegerFlagsWidthAndPrecision) {
  EXPECT_EQ(fmt("%2.2i", {"7"}), "07");
  EXPECT_EQ(fmt("%05d|%-5d|%5d", {"-42", "-42", "-42"}), "-0042|-42  |  -42");
  EXPECT_EQ(fmt("%+d|% d|%+d", {"5", "5", "-5"}), "+5| 5|-5");
  EXPECT_EQ(fmt("%.0d|%.3d|%08.3d", {"0", "5", "5"}), "|005|     005");
  EXPECT_EQ(fmt("%#x|%#X|%#o|%#x|%#06x", {"255", "255", "8", "0", "255"}), "0xff|0XFF|010|0|0x00ff");
  EXPECT_EQ(fmt("%-05d|", {"3"}), "3    |");
}

TEST(FormatText, StarTakesWidthAndPrecisionFromArguments) {
  EXPECT_EQ(fmt("%*d|%-*d|%*d", {"4", "7", "3", "1", "-3", "2"}), "   7|1  |2  ");
  EXPECT_EQ(fmt("%.*f|%.*s", {"2", "3.14159", "-1", "abc"}), "3.14|abc");
}

TEST(FormatText, Reals) {
  EXPECT_EQ(fmt("%5.2f", {"3.14159"}), " 3.14");
  EXPECT_EQ(fmt("%f|%.0f|%08.2f", {"1.5", "2.5", "-3.14159"}), "1.500000|2|-0003.14");
  EXPECT_EQ(fmt("%e|%E", {"12345.678", "0.5"}), "1.234568e+04|5.000000E-01");
  EXPECT_EQ(fmt("%g|%G|%g", {"0.0001", "1e100", "100000"}), "0.0001|1E+100|100000");
  EXPECT_EQ(fmt("%.3e", {"1e-300"}), "1.000e-300");
  EXPECT_EQ(fmt("%f|%F|%5f|%+f", {"abc", "nan", "inf", "-inf"}), "0.000000|NAN|  inf|-inf");
  EXPECT_EQ(fmt("%010f", {"inf"}), "       inf");
}

TEST(FormatText, StringsCharactersBinaryAndOthers) {
  EXPECT_EQ(fmt("%-5s|%5s|%.2s|%s", {"ab", "cd", "efgh", ""}), "ab   |   cd|ef|");
  EXPECT_EQ(fmt("%c%c|%3c|%-3c|", {"65", "321", "66", "67"}), "AA|  B|C  |");
  EXPECT_EQ(fmt("a%cb", {"0"}), "ab");  // a zero character is dropped
  EXPECT_EQ(fmt("%b|%b|%8b|%08b", {"5", "0", "5", "5"}), "101|0|     101|00000101");
  EXPECT_EQ(fmt("%b", {"-1"}), std::string(64, '1'));
  EXPECT_EQ(fmt("%q|%n|%p|%3z", {"xyz", "abc", "", "k"}), "x|a||  k");
  EXPECT_EQ(fmt("%s", {"a\\tb"}, true), "a\tb");
  EXPECT_EQ(fmt("%s", {"a\\tb"}, false), "a\\tb");
}

TEST(FormatText, LiteralTextAndMissingArguments) {
  EXPECT_EQ(fmt("100%% sure"), "100% sure");
  EXPECT_EQ(fmt("a%db%sc"), "abc");                  // no argument left: nothing
  EXPECT_EQ(fmt("%d-%d-%d", {"1", "2"}), "1-2-");
  EXPECT_EQ(fmt("%*d", {"5"}), "");                  // the width used the last one
  EXPECT_EQ(fmt("end%"), "end%");                    // unfinished specifications stay
  EXPECT_EQ(fmt("x%-08.3ll", {"1"}), "x%-08.3ll");
  EXPECT_EQ(fmt(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

TEST(FormatText, HugeFieldsAreRefused) {
  EXPECT_NE(fmtError("%99999999999999999999999d", {"1"}).find("too large"), std::string::npos);
  EXPECT_NE(fmtError("%.2000000f", {"1"}).find("too large"), std::string::npos);
  EXPECT_NE(fmtError("%*d", {"2000000", "1"}).find("too large"), std::string::npos);
  EXPECT_NE(fmtError("%*d", {"-9223372036854775808", "1"}).find("too large"), std::string::npos);
  // The largest allowed width still works.
  EXPECT_EQ(fmt("%1048576d", {"1"}).size(), 1048576u);
  EXPECT_EQ(fmt("%.1048576f", {"1e308"}).size(), 309u + 1u + 1048576u);
}

// Each flag together with the others: prefixes, precision zeros and field
// padding are placed as the C library places them.
TEST(FormatText, IntegerFlagCombinations) {
  EXPECT_EQ(fmt("%#o|%#.0o|%.0x|%#.0x|%#5.3o|%#10.4x|%-#8x|%+05d|% 05d|%-+6d|%08.3x|%#08X",
                {"0", "0", "0", "0", "8", "255", "255", "42", "42", "42", "255", "255"}),
            "0|0|||  010|    0x00ff|0xff    |+0042| 0042|+42   |     0ff|0X0000FF");
  EXPECT_EQ(fmt("%#o|%#o|%.5o|%#.5o|%5.0d|%-5.0d|%05.0d", {"8", "0", "8", "8", "0", "0", "0"}),
            "010|0|00010|00010|     |     |     ");
  EXPECT_EQ(fmt("%#x|%#lld|%llo|%lld", {"0", "-5", "-1", "-9223372036854775808"}),
            "0|-5|1777777777777777777777|-9223372036854775808");
  EXPECT_EQ(fmt("%u|%5u|%-5u|%05u|%x", {"-2", "7", "7", "7", "-2147483648"}), "4294967294|    7|7    |00007|80000000");
  EXPECT_EQ(fmt("%llX|%llx|%#llo", {"-1", "1311768467463790320", "9223372036854775807"}),
            "FFFFFFFFFFFFFFFF|123456789abcdef0|0777777777777777777777");
  EXPECT_EQ(fmt("%05d:%s|%5d:%s", {"42", "abc", "-42", "x"}), "00042:abc|  -42:x");
}

// The output text is replaced, not added to: the command formats straight
// into a result that may still hold an earlier text.
TEST(FormatText, OutputStartsEmpty) {
  std::string out = "earlier text", err;
  ASSERT_TRUE(formatText("%d|%s", std::vector<std::string>{"7", "x"}, false, out, err));
  EXPECT_EQ(out, "7|x");
  out = std::string(100, 'z');
  ASSERT_TRUE(formatText("", std::vector<std::string>{}, false, out, err));
  EXPECT_EQ(out, "");
}

// With unescaping on, %s arguments with and without a backslash.
TEST(FormatText, UnescapedStrings) {
  EXPECT_EQ(fmt("%s|%s|%3s|%.2s|%s", {"plain", "a\\b", "\\n", "\\t\\t\\t", "ab\\"}, true), "plain|ab|  \n|\t\t|ab\\");
  EXPECT_EQ(fmt("%s|%-4s|", {"x\\ny", "\\r"}, true), "x\ny|\r   |");
}

}  // namespace
