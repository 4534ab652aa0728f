// The radix-literal pass: 0x/&h, 0b/&b and 0o literals outside double-quoted
// strings are written in decimal before a script runs.
#include <cstdint>

#include "preproc/preprocessor.h"

namespace orvel {

namespace {

bool isAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool inLiteral(char c) { return isAlnum(c) || c == '$' || c == '&' || c == '.'; }
// A literal starts a word: one glued to a name, a number or another '&'
// (as in abc0x1, 100b1 or &&b1) is part of that word.
bool gluedBefore(char c) { return isAlnum(c) || c == '_' || c == '.' || c == '&'; }

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

// The value of digits in base (2, 8 or 16); false when a character is not a
// digit of that base or the value does not fit 64 bits.
bool literalValue(std::string_view digits, unsigned base, uint64_t& value) {
  if (digits.empty()) return false;
  value = 0;
  for (char c : digits) {
    unsigned d = static_cast<unsigned>(digitValue(c));
    if (d >= base) return false;
    if (value > (UINT64_MAX - d) / base) return false;
    value = value * base + d;
  }
  return true;
}

}  // namespace

void convert_radix_literals(std::string& text) {
  // Most texts have nothing to convert: find a candidate before copying.
  bool any = false;
  for (size_t i = 0; i + 2 < text.size() && !any; i++) {
    char c = text[i], d = text[i + 1];
    any = (c == '0' || c == '&') && (d == 'x' || d == 'X' || d == 'h' || d == 'H' || d == 'b' || d == 'B' ||
                                     d == 'o' || d == 'O');
  }
  if (!any) return;
  std::string out;
  out.reserve(text.size());
  bool inQuote = false;
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    char c = text[i];
    if (c == '\\' && i + 1 < n && (text[i + 1] == '\\' || text[i + 1] == '"')) {
      out.append(text, i, 2);
      i += 2;
      continue;
    }
    if (c == '"') inQuote = !inQuote;
    if (!inQuote && (c == '0' || c == '&') && i + 1 < n && (i == 0 || !gluedBefore(text[i - 1]))) {
      char kind = text[i + 1];
      if (kind >= 'A' && kind <= 'Z') kind = static_cast<char>(kind + 32);
      bool ok = (c == '0' && (kind == 'x' || kind == 'b' || kind == 'o')) || (c == '&' && (kind == 'h' || kind == 'b'));
      if (ok) {
        size_t e = i + 2;
        while (e < n && inLiteral(text[e])) e++;
        std::string_view digits(text.data() + i + 2, e - i - 2);
        unsigned base = kind == 'b' ? 2 : kind == 'o' ? 8 : 16;
        uint64_t value;
        if (literalValue(digits, base, value)) {
          if (base == 8) out += std::to_string(static_cast<int64_t>(value));
          else out += std::to_string(value);
        } else {
          out.append(text, i, e - i);
        }
        i = e;
        continue;
      }
    }
    out += c;
    i++;
  }
  text.swap(out);
}

}  // namespace orvel
