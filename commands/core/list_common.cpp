// Index reading and element quoting shared by the list commands.
#include "commands/core/list_common.h"

#include <algorithm>

#include "expr/numbers.h"

namespace orvel::lists {

namespace {
inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool radixDigits(std::string_view d, int radix) {
  if (d.empty()) return false;
  for (char c : d) {
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') v = (c | 0x20) - 'a' + 10;
    else return false;
    if (v >= radix) return false;
  }
  return true;
}
}  // namespace

bool strictInt(std::string_view s, int64_t& out) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  if (s.empty()) return false;
  if (s.size() > 2 && (s[0] == '0' || s[0] == '&')) {
    char p = static_cast<char>(s[1] | 0x20);
    int radix = 0;
    if (p == 'x' || (s[0] == '&' && p == 'h')) radix = 16;
    else if (p == 'b') radix = 2;
    else if (p == 'o' && s[0] == '0') radix = 8;
    if (radix) {
      if (!radixDigits(s.substr(2), radix)) return false;
      out = toInt64(s);
      return true;
    }
  }
  size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
  if (i >= s.size()) return false;
  for (size_t j = i; j < s.size(); j++)
    if (s[j] < '0' || s[j] > '9') return false;
  out = toInt64(s);
  return true;
}

bool listIndex(std::string_view s, int64_t count, int64_t& out) {
  if (!startsWithEnd(s)) return strictInt(s, out);
  std::string_view rest = s.substr(3);
  int64_t n = 0;
  if (!rest.empty()) {
    if (rest[0] != '-' && rest[0] != '+') return false;
    if (rest.size() < 2 || rest[1] < '0' || rest[1] > '9') return false;
    if (!strictInt(rest.substr(1), n)) return false;
    // Offsets far beyond any list are clamped so the sum cannot overflow.
    constexpr int64_t kFar = int64_t(1) << 40;
    if (n > kFar || n < 0) n = kFar;
    if (rest[0] == '-') n = -n;
  }
  out = count - 1 + n;
  return true;
}

void appendBraced(std::string& list, std::string_view element) {
  if (!list.empty()) list += ' ';
  if (element.empty()) {
    list += "{}";
  } else if (std::any_of(element.begin(), element.end(),
                         [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; })) {
    list += '{';
    list += element;
    list += '}';
  } else {
    list += element;
  }
}

namespace {
int compareNoCase(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; i++) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
}  // namespace

void sortElements(std::vector<std::string>& items, SortKind kind, bool nocase, bool decreasing) {
  auto less = [&](const std::string& a, const std::string& b) {
    int c;
    if (kind == SortKind::Integer) {
      int64_t x = toInt64(a), y = toInt64(b);
      c = x < y ? -1 : (x > y ? 1 : 0);
    } else if (kind == SortKind::Real) {
      // NaN sorts before every number, so the order stays consistent.
      double x = textToDouble(a), y = textToDouble(b);
      bool xn = x != x, yn = y != y;
      if (xn || yn) c = xn == yn ? 0 : (xn ? -1 : 1);
      else c = x < y ? -1 : (x > y ? 1 : 0);
    } else {
      c = nocase ? compareNoCase(a, b) : a.compare(b);
    }
    return decreasing ? c > 0 : c < 0;
  };
  std::stable_sort(items.begin(), items.end(), less);
}

}  // namespace orvel::lists
