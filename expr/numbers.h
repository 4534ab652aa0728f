// The shared number rules of the arithmetic, comparison and conversion commands:
// operand conversion, operand classification and result formatting.
#pragma once
#include <cstddef>
#include <cstdint>
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
