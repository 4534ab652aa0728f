#include "expr/numbers.h"

#include <charconv>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace orvel {

namespace {
inline char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

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

// Digits of the fixed "%.15f" form of any double fit here (309 integer
// digits at most, a sign, the point and 15 decimals).
constexpr size_t kRealBuffer = 400;
}  // namespace

int64_t toInt64(std::string_view s, bool* ok) {
  if (ok) *ok = true;
  int64_t quick;
  if (plainDecimal(s, quick)) return quick;
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
  while (i < s.size() && isSpace(s[i])) i++;
  // Hex after leading white space ("  0x10").
  if (i > 0 && i + 1 < s.size() && s[i] == '0' && lower(s[i + 1]) == 'x') return parseHex(s, i + 2);
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  uint64_t v = 0;
  for (; i < s.size() && isDigit(s[i]); i++) v = v * 10 + static_cast<uint64_t>(s[i] - '0');
  return static_cast<int64_t>(neg ? (~v + 1) : v);
}

int64_t decimalInt64(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && isSpace(s[i])) i++;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) neg = s[i++] == '-';
  uint64_t v = 0;
  for (; i < s.size() && isDigit(s[i]); i++) v = v * 10 + static_cast<uint64_t>(s[i] - '0');
  return static_cast<int64_t>(neg ? (~v + 1) : v);
}

double textToDouble(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && isSpace(s[i])) i++;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    neg = s[i] == '-';
    i++;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) return 0.0;
  }
  // Only decimal forms: "inf", "nan" and hex texts are not numbers here.
  if (i >= s.size() || !(isDigit(s[i]) || s[i] == '.')) return 0.0;
  const char* first = s.data() + i;
  const char* last = s.data() + s.size();
  double d = 0.0;
  auto r = std::from_chars(first, last, d, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: the C library says which.
    std::string copy(first, last);
    d = std::strtod(copy.c_str(), nullptr);
  } else if (r.ec != std::errc()) {
    d = 0.0;
  }
  return neg ? -d : d;
}

bool isRealOperand(std::string_view s) {
  if (s.empty()) return false;
  char c = s[0];
  if (!(isDigit(c) || c == '+' || c == '-' || c == '.')) return false;
  size_t i = (c == '+' || c == '-') ? 1 : 0;
  int dots = 0, digits = 0;
  for (; i < s.size(); i++) {
    if (isDigit(s[i])) digits++;
    else if (s[i] == '.') dots++;
    else return false;
  }
  return dots == 1 && digits > 0;
}

int numberKind(std::string_view s) {
  int64_t quick;
  if (plainDecimal(s, quick)) return kIntegerNumber;
  size_t i = 0, n = s.size();
  while (i < n && (s[i] == ' ' || s[i] == '\t')) i++;
  if (i >= n) return kNotNumber;
  if (s[i] == '+' || s[i] == '-') i++;
  int dots = 0;
  if (i < n && s[i] == '.') {
    dots = 1;
    i++;
  }
  if (i >= n || !isDigit(s[i])) return kNotNumber;
  i++;
  if (i + 1 < n && isDigit(s[i + 1])) {
    char c = s[i];
    if (c == 'X' || c == 'x' || c == 'b' || c == 'o' || c == 'r') return kIntegerNumber;
  }
  for (; i < n; i++) {
    if (isDigit(s[i])) continue;
    if (s[i] != '.') return kNotNumber;
    if (++dots >= 2) return kIntegerNumber;
  }
  return dots == 1 ? kRealNumber : kIntegerNumber;
}

int64_t truncToInt64(double d) {
  if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(d);
}

void assignInt(std::string& out, int64_t v) {
  // Two digits at a time from the end; clear-and-append keeps the string's
  // buffer and costs less than a general assign.
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  char buf[24];
  char* const end = buf + sizeof buf;
  char* p = end;
  uint64_t u = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  while (u >= 100) {
    const size_t r = static_cast<size_t>(u % 100) * 2;
    u /= 100;
    p -= 2;
    p[0] = kPairs[r];
    p[1] = kPairs[r + 1];
  }
  if (u >= 10) {
    p -= 2;
    p[0] = kPairs[u * 2];
    p[1] = kPairs[u * 2 + 1];
  } else {
    *--p = static_cast<char>('0' + u);
  }
  if (v < 0) *--p = '-';
  out.clear();
  out.append(p, static_cast<size_t>(end - p));
}

void assignUint(std::string& out, uint64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.assign(buf, static_cast<size_t>(r.ptr - buf));
}

void assignReal(std::string& out, double v) {
  char buf[kRealBuffer];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 15);
  size_t len = r.ec == std::errc() ? static_cast<size_t>(r.ptr - buf) : 0;
  out.assign(buf, len);  // never cut: a cut number is a different number
}

void assignExp(std::string& out, double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 15);
  size_t len = r.ec == std::errc() ? static_cast<size_t>(r.ptr - buf) : 0;
  // The exponent is written with at least three digits ("e+003").
  char* e = static_cast<char*>(std::memchr(buf, 'e', len));
  if (e && e + 2 <= buf + len) {
    char* digits = e + 2;  // after the exponent's sign
    size_t have = static_cast<size_t>(buf + len - digits);
    if (have < 3) {
      size_t pad = 3 - have;
      std::memmove(digits + pad, digits, have);
      std::memset(digits, '0', pad);
      len += pad;
    }
  }
  out.assign(buf, len);
}

std::string intText(int64_t v) {
  std::string s;
  assignInt(s, v);
  return s;
}

std::string uintText(uint64_t v) {
  std::string s;
  assignUint(s, v);
  return s;
}

std::string realResultText(double v) {
  std::string s;
  assignReal(s, v);
  return s;
}

std::string expText(double v) {
  std::string s;
  assignExp(s, v);
  return s;
}

bool readDecimalRealText(std::string_view s, double& out) {
  size_t a = s.find_first_not_of(" \t");
  if (a == std::string_view::npos) return false;
  size_t b = s.find_last_not_of(" \t");
  std::string t(s.substr(a, b - a + 1));
  size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
  if (i >= t.size() || !(std::isdigit(static_cast<unsigned char>(t[i])) || t[i] == '.')) return false;
  if (t.find_first_of("xX") != std::string::npos) return false;
  char* end = nullptr;
  out = std::strtod(t.c_str(), &end);
  return end == t.c_str() + t.size();
}

}  // namespace orvel
