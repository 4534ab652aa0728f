#include "expr/numbers.h"

#include <charconv>

namespace orvel {

namespace {
inline char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

int64_t parseHex(std::string_view s, size_t i) {
  uint64_t v = 0;
  size_t digits = 0;
  for (; i < s.size(); i++) {
    char c = lower(s[i]);
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else break;
    v = (v << 4) | static_cast<uint64_t>(d);
    digits++;
  }
  if (digits >= 17) return 0;
  return static_cast<int64_t>(v);
}

int64_t parseBin(std::string_view s, size_t i) {
  uint64_t v = 0;
  size_t digits = 0;
  for (; i < s.size(); i++) {
    if (s[i] != '0' && s[i] != '1') return 0;
    if (++digits > 64) return 0;
    v = (v << 1) | static_cast<uint64_t>(s[i] - '0');
  }
  return static_cast<int64_t>(v);
}

int64_t parseOct(std::string_view s, size_t i) {
  uint64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '7'; i++) v = (v << 3) | static_cast<uint64_t>(s[i] - '0');
  return static_cast<int64_t>(v);
}
}  // namespace

int64_t toInt64(std::string_view s, bool* ok) {
  if (ok) *ok = true;
  if (s.size() >= 2) {
    char a = s[0], b = lower(s[1]);
    if (a == '0' && b == 'x') return parseHex(s, 2);
    if (a == '0' && b == 'b') return parseBin(s, 2);
    if (a == '0' && b == 'o') return parseOct(s, 2);
    if (a == '&' && b == 'h') return parseHex(s, 2);
    if (a == '&' && b == 'b') return parseBin(s, 2);
  }
  if (!s.empty() && s[0] == '&') {
    if (ok) *ok = false;
    return 0;
  }
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' ||
                          s[i] == '\v' || s[i] == '\f'))
    i++;
  // Hex after leading white space ("  0x10").
  if (i > 0 && i + 1 < s.size() && s[i] == '0' && lower(s[i + 1]) == 'x') return parseHex(s, i + 2);
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  uint64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; i++) v = v * 10 + static_cast<uint64_t>(s[i] - '0');
  return static_cast<int64_t>(neg ? (~v + 1) : v);
}

std::string intText(int64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace orvel
