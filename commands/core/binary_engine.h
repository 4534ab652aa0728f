// Packing values into byte strings and unpacking them again, driven by a
// format of field letters with optional counts (the engine behind the
// binary command).
//
// Field letters:
//   a A     bytes, padded with NUL (a) or blank (A); scanning A drops
//           trailing blanks and NULs
//   b B     bit digits, low bit first (b) or high bit first (B)
//   h H     hex digits, low nibble first (h) or high nibble first (H)
//   c       8-bit integers
//   s S     16-bit integers, little-endian (s) or big-endian (S)
//   i I     32-bit integers, little-endian (i) or big-endian (I)
//   w W     64-bit integers, little-endian (w) or big-endian (W)
//   f r R   32-bit reals: f and r little-endian, R big-endian
//   d q Q   64-bit reals: d and q little-endian, Q big-endian
//   x       NUL bytes (format) or bytes skipped (scan)
//   X       back by count bytes (* to the start)
//   @       to the absolute position count (* to the end)
// A count is a decimal number or `*`. For the number fields a count (even
// 1) means the value is a list of that many numbers; `*` means all of them.
// When scanning, `u` after an integer letter reads it unsigned.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvel::binary {

// The longest byte string `format` builds; longer requests fail.
constexpr int64_t kMaxBytes = int64_t{1} << 26;

struct Field {
  char letter = 0;
  bool hasCount = false;
  bool star = false;
  int64_t count = 0;
  bool isUnsigned = false;
};

// Splits a format into fields; blanks between fields are ignored. false
// with a message for an unknown letter, a count too large to hold or a `u`
// after a letter that is not an integer one.
bool parseFormat(std::string_view fmt, std::vector<Field>& out, std::string& err);

// True for fields that take a value (format) or give one (scan).
bool takesValue(const Field& f);

// Builds the bytes for the values, one value per value field in order.
bool pack(std::string_view fmt, const std::vector<std::string>& values, std::string& out, std::string& err);

// Reads the fields of fmt from data. values receives one text per value
// field, in order, until the data runs short (the rest are not produced).
// fieldCount receives the number of value fields of the format.
bool unpack(std::string_view data, std::string_view fmt, std::vector<std::string>& values, size_t& fieldCount,
            std::string& err);

// Integer text as the arithmetic commands read it, but strictly: optional
// blanks and sign, then 0x/&h hex, 0b/&b binary, 0o octal or decimal digits,
// nothing else. Values wrap to 64 bits.
bool strictInteger(std::string_view s, int64_t& out);
// A real number text (decimal, with optional point and exponent); false for
// anything else.
bool strictReal(std::string_view s, double& out);

// Hexadecimal text of bytes (lower case), and its reverse (white space
// between digits is skipped; odd digit counts and other characters fail).
std::string hexEncode(std::string_view bytes);
bool hexDecode(std::string_view text, std::string& out);

}  // namespace orvel::binary
