#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/core/binary_engine.h"
#include "commands/system/csv_fields.h"

using namespace orvel;

namespace {

std::string packHex(const std::string& fmt, const std::vector<std::string>& values) {
  std::string out, err;
  EXPECT_TRUE(binary::pack(fmt, values, out, err)) << fmt << ": " << err;
  return binary::hexEncode(out);
}

std::string packError(const std::string& fmt, const std::vector<std::string>& values) {
  std::string out, err;
  EXPECT_FALSE(binary::pack(fmt, values, out, err)) << fmt;
  return err;
}

std::vector<std::string> unpackAll(const std::string& data, const std::string& fmt) {
  std::vector<std::string> values;
  size_t fields = 0;
  std::string err;
  EXPECT_TRUE(binary::unpack(data, fmt, values, fields, err)) << fmt << ": " << err;
  return values;
}

}  // namespace

TEST(BinaryPack, IntegersInBothByteOrders) {
  EXPECT_EQ(packHex("c s S i I", {"-1", "258", "258", "0x01020304", "0x01020304"}), "ff020101020403020101020304");
  EXPECT_EQ(packHex("w W", {"1", "-2"}), "0100000000000000fffffffffffffffe");
  // Values wider than the field keep their low bytes.
  EXPECT_EQ(packHex("c s", {"511", "0x12345"}), "ff4523");
  EXPECT_EQ(packHex("c3", {"1 2 3 4"}), "010203");
  EXPECT_EQ(packHex("s*", {"1 2"}), "01000200");
  EXPECT_EQ(packHex("c1", {"7"}), "07");
}

TEST(BinaryPack, RealsAndByteStrings) {
  EXPECT_EQ(packHex("f R", {"1.5", "1.5"}), "0000c03f3fc00000");
  EXPECT_EQ(packHex("d", {"-2"}), "00000000000000c0");
  EXPECT_EQ(packHex("Q", {"0.5e1"}), "4014000000000000");
  EXPECT_EQ(packHex("a4 A4 a*", {"ab", "cd", "xyz"}), "6162000063642020" "78797a");
  EXPECT_EQ(packHex("a2", {"abcdef"}), "6162");
}

TEST(BinaryPack, DigitFieldsAndCursor) {
  EXPECT_EQ(packHex("b8 B8", {"10000000", "10000000"}), "0180");
  EXPECT_EQ(packHex("b*", {"1"}), "01");
  EXPECT_EQ(packHex("B3", {"1"}), "80");  // missing digits are zero
  EXPECT_EQ(packHex("h* H*", {"1a", "1a"}), "a11a");
  EXPECT_EQ(packHex("H3", {"abc"}), "abc0");
  EXPECT_EQ(packHex("a3 X2 a1", {"abc", "Z"}), "615a63");
  EXPECT_EQ(packHex("a1 @4 a1", {"a", "b"}), "6100000062");
  EXPECT_EQ(packHex("a3 X* a1 @* a1", {"abc", "Z", "!"}), "5a626321");
  EXPECT_EQ(packHex("x3 c", {"9"}), "00000009");
}

TEST(BinaryPack, ClearFailures) {
  EXPECT_NE(packError("e", {"1"}).find("'e'"), std::string::npos);
  EXPECT_NE(packError("k", {}).find("bad field"), std::string::npos);
  EXPECT_NE(packError("c c", {"1"}).find("not enough"), std::string::npos);
  EXPECT_NE(packError("c", {"1", "2"}).find("more values"), std::string::npos);
  EXPECT_NE(packError("c", {"abc"}).find("integer"), std::string::npos);
  EXPECT_NE(packError("c", {"1.5"}).find("integer"), std::string::npos);
  EXPECT_NE(packError("d", {"x"}).find("real"), std::string::npos);
  EXPECT_NE(packError("c3", {"1 2"}).find("count"), std::string::npos);
  EXPECT_NE(packError("b", {"2"}).find("binary"), std::string::npos);
  EXPECT_NE(packError("h", {"g"}).find("hex"), std::string::npos);
  EXPECT_NE(packError("x*", {}).find("*"), std::string::npos);
  EXPECT_NE(packError("@", {}).find("missing count"), std::string::npos);
  EXPECT_NE(packError("fu", {"1"}).find("'u'"), std::string::npos);
}

TEST(BinaryPack, HugeCountsFailWithoutAllocating) {
  const std::string tooLong = std::to_string(binary::kMaxBytes + 1);
  EXPECT_NE(packError("a" + tooLong, {"x"}).find("longer than"), std::string::npos);
  EXPECT_NE(packError("x" + tooLong, {}).find("longer than"), std::string::npos);
  EXPECT_NE(packError("@" + tooLong, {}).find("longer than"), std::string::npos);
  EXPECT_NE(packError("B999999999999", {"1"}).find("longer than"), std::string::npos);
  EXPECT_NE(packError("a99999999999999999999", {"x"}).find("too large"), std::string::npos);
  // Many fields, each within the limit, that add up beyond it.
  const std::string half = std::to_string(binary::kMaxBytes / 2 + 1);
  EXPECT_NE(packError("x" + half + " x" + half, {}).find("longer than"), std::string::npos);
}

TEST(BinaryUnpack, ReadsWhatPackWrote) {
  std::string data, err;
  ASSERT_TRUE(binary::pack("c s S i I w W f d", {"-5", "-300", "-300", "-70000", "70000", "-1", "123456789012",
                                                 "0.25", "-1.5"}, data, err));
  auto v = unpackAll(data, "c s S i I w W f d");
  ASSERT_EQ(v.size(), 9u);
  EXPECT_EQ(v[0], "-5");
  EXPECT_EQ(v[1], "-300");
  EXPECT_EQ(v[2], "-300");
  EXPECT_EQ(v[3], "-70000");
  EXPECT_EQ(v[4], "70000");
  EXPECT_EQ(v[5], "-1");
  EXPECT_EQ(v[6], "123456789012");
  EXPECT_EQ(v[7], "0.250000000000000");
  EXPECT_EQ(v[8], "-1.500000000000000");
  auto u = unpackAll(data, "cu su");
  EXPECT_EQ(u[0], "251");
  EXPECT_EQ(u[1], "65236");
}

TEST(BinaryUnpack, BytesDigitsAndCounts) {
  const std::string data("ab \0\x01\x80", 6);
  auto v = unpackAll(data, "A4 b8 B8");
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[0], "ab");
  EXPECT_EQ(v[1], "10000000");
  EXPECT_EQ(v[2], "10000000");
  auto h = unpackAll("\x1a\xbc", "h* X2 H3");
  ASSERT_EQ(h.size(), 2u);
  EXPECT_EQ(h[0], "a1cb");
  EXPECT_EQ(h[1], "1ab");
  auto list = unpackAll("\x01\x02\x03", "c2 c*");
  EXPECT_EQ(list[0], "1 2");
  EXPECT_EQ(list[1], "3");
  auto moved = unpackAll("abcdef", "x2 a1 @0 a1 @* X1 a1 x99 a*");
  ASSERT_EQ(moved.size(), 4u);
  EXPECT_EQ(moved[0], "c");
  EXPECT_EQ(moved[1], "a");
  EXPECT_EQ(moved[2], "f");
  EXPECT_EQ(moved[3], "");
}

TEST(BinaryUnpack, StopsWhereTheDataRunsShort) {
  std::vector<std::string> values;
  size_t fields = 0;
  std::string err;
  ASSERT_TRUE(binary::unpack("abc", "a2 s a1", values, fields, err));
  EXPECT_EQ(fields, 3u);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0], "ab");
  ASSERT_TRUE(binary::unpack("abc", "a99999999999 c", values, fields, err));
  EXPECT_TRUE(values.empty());
  ASSERT_TRUE(binary::unpack("abcd", "i2", values, fields, err));
  EXPECT_TRUE(values.empty());
  ASSERT_TRUE(binary::unpack("", "b1", values, fields, err));
  EXPECT_TRUE(values.empty());
  EXPECT_FALSE(binary::unpack("abc", "a1 z", values, fields, err));
}

TEST(BinaryText, StrictNumbersAndHex) {
  int64_t v;
  EXPECT_TRUE(binary::strictInteger(" -0x10 ", v));
  EXPECT_EQ(v, -16);
  EXPECT_TRUE(binary::strictInteger("&b101", v));
  EXPECT_EQ(v, 5);
  EXPECT_TRUE(binary::strictInteger("0o17", v));
  EXPECT_EQ(v, 15);
  EXPECT_TRUE(binary::strictInteger("007", v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(binary::strictInteger("18446744073709551615", v));
  EXPECT_EQ(v, -1);
  for (const char* bad : {"", "-", "0x", "12a", "1.0", "0b2", "&q1", "1 2"})
    EXPECT_FALSE(binary::strictInteger(bad, v)) << bad;
  double d;
  EXPECT_TRUE(binary::strictReal("1e3", d));
  EXPECT_EQ(d, 1000.0);
  for (const char* bad : {"", ".", "1x", "inf", "nan", "0x10"}) EXPECT_FALSE(binary::strictReal(bad, d)) << bad;
  std::string out;
  EXPECT_EQ(binary::hexEncode(std::string("\x00\xff\x10", 3)), "00ff10");
  EXPECT_TRUE(binary::hexDecode("00 FF\n10", out));
  EXPECT_EQ(out, std::string("\x00\xff\x10", 3));
  EXPECT_FALSE(binary::hexDecode("abc", out));
  EXPECT_FALSE(binary::hexDecode("zz", out));
}

TEST(CsvRecord, QuotesSeparatorsAndOpenFields) {
  std::vector<std::string> f;
  ASSERT_TRUE(splitCsvRecord("a,\"b,c\",\"say \"\"hi\"\"\",", ',', f));
  ASSERT_EQ(f.size(), 4u);
  EXPECT_EQ(f[0], "a");
  EXPECT_EQ(f[1], "b,c");
  EXPECT_EQ(f[2], "say \"hi\"");
  EXPECT_EQ(f[3], "");
  ASSERT_TRUE(splitCsvRecord("", ',', f));
  EXPECT_EQ(f.size(), 1u);
  ASSERT_TRUE(splitCsvRecord("x;\"y\"z;w", ';', f));
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[1], "yz");
  ASSERT_TRUE(splitCsvRecord("\"two\nlines\",b", ',', f));
  EXPECT_EQ(f[0], "two\nlines");
  EXPECT_FALSE(splitCsvRecord("a,\"open", ',', f));
  EXPECT_FALSE(splitCsvRecord("\"ends with a doubled quote\"\"", ',', f));
}
