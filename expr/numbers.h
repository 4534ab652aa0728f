// The shared number rules of the arithmetic, comparison and conversion commands:
// operand conversion, operand classification and result formatting.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace orvel {

// Integer operand conversion: 0x/&h hexadecimal, 0b/&b binary, 0o octal,
// otherwise decimal (a leading 0 is not octal); signed 64-bit, wrapping.
// ok is cleared for a text beginning with '&' that is not &h/&b.
int64_t toInt64(std::string_view s, bool* ok = nullptr);
// Plain decimal text: an optional minus and 1 to 18 digits, nothing else
// (too short to wrap). The common case of every counter and index, which
// every integer reader of the library reads the same way.
inline bool plainDecimal(std::string_view s, int64_t& out) {
  const size_t n = s.size();
  if (n == 0 || n > 18) return false;
  const char* c = s.data();
  size_t i = c[0] == '-' ? 1 : 0;
  if (i >= n) return false;
  uint64_t v = 0;
  for (size_t j = i; j < n; j++) {
    unsigned d = static_cast<unsigned>(static_cast<unsigned char>(c[j])) - '0';
    if (d > 9) return false;
    v = v * 10 + d;
  }
  out = i ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
  return true;
}

// The eight bytes at the start of a string's buffer with its text
// right-aligned behind '0' characters (first character in the low byte);
// for texts of 1 to 8 characters. A string's buffer always has room for
// at least 15 characters, so the eight-byte read stays inside it; the bytes
// after the text are masked off.
inline uint64_t eightDigitsWord(const std::string& s) {
  uint64_t x;
  std::memcpy(&x, s.data(), 8);
  const size_t n = s.size();
  if (n == 8) return x;
  const unsigned shift = static_cast<unsigned>(8 * (8 - n));
  return (x << shift) | (0x3030303030303030ull >> (64 - shift));
}

// True when every byte of the word is a decimal digit.
inline bool allDigitBytes(uint64_t x) {
  return (x & 0xF0F0F0F0F0F0F0F0ull) == 0x3030303030303030ull &&
         ((x + 0x0606060606060606ull) & 0xF0F0F0F0F0F0F0F0ull) == 0x3030303030303030ull;
}

// The value of eight digit bytes (first digit in the low byte).
inline uint64_t eightDigitsValue(uint64_t x) {
  x = ((x & 0x0F0F0F0F0F0F0F0Full) * 2561) >> 8;
  x = ((x & 0x00FF00FF00FF00FFull) * 6553601) >> 16;
  return ((x & 0x0000FFFF0000FFFFull) * 42949672960001ull) >> 32;
}

// plainDecimal for a string, eight characters at a time when it is short
// and unsigned.
inline bool plainDecimalText(const std::string& s, int64_t& out) {
  if constexpr (std::endian::native == std::endian::little) {
    const size_t n = s.size();
    if (n - 1 < 8 && s.capacity() >= 8 && s[0] != '-') {
      const uint64_t x = eightDigitsWord(s);
      if (!allDigitBytes(x)) return false;
      out = static_cast<int64_t>(eightDigitsValue(x));
      return true;
    }
  }
  return plainDecimal(s, out);
}

// True when a string of 1 to 8 characters is all decimal digits.
inline bool shortDigitText(const std::string& s) {
  if constexpr (std::endian::native == std::endian::little) {
    if (s.size() - 1 < 8 && s.capacity() >= 8) return allDigitBytes(eightDigitsWord(s));
  }
  for (char c : s)
    if (static_cast<unsigned char>(c - '0') > 9) return false;
  return !s.empty() && s.size() <= 8;
}

// Plain decimal conversion (no radix prefixes): leading white space, an
// optional sign, then digits up to the first other character; no digits
// gives 0; overflow wraps. The bit pattern also serves as the unsigned value.
int64_t decimalInt64(std::string_view s);

// Text-to-double conversion: leading white space skipped, optional sign,
// decimal digits with an optional point and exponent; the longest such
// prefix counts, none gives 0 (as do "inf", "nan" and hex texts).
double textToDouble(std::string_view s);

// A real operand of the arithmetic and assignment commands: first character
// a digit, sign or point, and after an optional sign only digits and exactly
// one point (not the point alone). "1." ".5" "-2.25" are real; "1e5" is not.
bool isRealOperand(std::string_view s);

// A real number written in decimal: optional sign, digits with an optional
// point, an optional exponent; blanks around it are allowed. Hexadecimal
// texts, "inf" and "nan" are not numbers here. true and its value, or false.
bool readDecimalRealText(std::string_view s, double& out);

// Number-kind classification of the relational commands.
enum NumberKind : int { kNotNumber = 0, kIntegerNumber = 1, kRealNumber = 2 };
int numberKind(std::string_view s);

// A double converted to a 64-bit integer by truncation; a value that does
// not fit (and NaN) gives INT64_MIN, as the processor's conversion does.
int64_t truncToInt64(double d);

// Result formatting. The assign* forms write into an existing string (which
// keeps its capacity, so ordinary results need no heap allocation).
void assignInt(std::string& out, int64_t v);     // signed decimal
void assignUint(std::string& out, uint64_t v);   // unsigned decimal
void assignReal(std::string& out, double v);     // "%.15f", whole however long
void assignExp(std::string& out, double v);      // "%.15e", exponent of at least 3 digits

std::string intText(int64_t v);
std::string uintText(uint64_t v);
std::string realResultText(double v);  // "%.15f", whole however long
std::string expText(double v);

}  // namespace orvel
