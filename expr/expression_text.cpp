#include "expr/expression_text.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "interp/interp.h"

namespace orvel {

bool charIn(const char* set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; }

size_t matchingClose(std::string_view text, size_t open, char opener, char closer) {
  int depth = 0;
  for (size_t i = open; i < text.size(); i++) {
    char c = text[i];
    if (c == '\\' && opener != '(') {
      i++;
      continue;
    }
    if (c == opener) {
      depth++;
    } else if (c == closer) {
      if (--depth == 0) return i;
    }
  }
  return std::string_view::npos;
}

size_t skipRegion(std::string_view text, size_t i) {
  if (i >= text.size()) return i;
  char c = text[i];
  if (c == '[' || c == '{') {
    size_t close = matchingClose(text, i, c, c == '[' ? ']' : '}');
    return close == std::string_view::npos ? text.size() : close + 1;
  }
  if (c == '"') {
    for (size_t j = i + 1; j < text.size(); j++) {
      if (text[j] == '\\') {
        j++;
        continue;
      }
      if (text[j] == '"') return j + 1;
    }
    return text.size();
  }
  return i;
}

int64_t decimalValue(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\v' ||
                          s[i] == '\f'))
    i++;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  uint64_t v = 0;
  for (; i < s.size() && isAsciiDigit(s[i]); i++) v = v * 10u + static_cast<uint64_t>(s[i] - '0');
  return static_cast<int64_t>(neg ? ~v + 1u : v);
}

double realValue(std::string_view s) {
  char small[64];
  if (s.size() < sizeof small) {
    std::memcpy(small, s.data(), s.size());
    small[s.size()] = '\0';
    return std::strtod(small, nullptr);
  }
  std::string copy(s);
  return std::strtod(copy.c_str(), nullptr);
}

int64_t doubleToInt64(double d) {
  if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) return INT64_MIN;
  return static_cast<int64_t>(d);
}

// The field width of "%15.15f" never pads a finite value (it always has more
// than 15 characters); "%.15f" also keeps inf and nan free of padding.
std::string realText(double d) { return strprintf("%.15f", d); }

}  // namespace orvel
