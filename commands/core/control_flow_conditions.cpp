// Truth tests, decimal readers and condition evaluation of the flow commands.
#include "commands/core/control_flow_conditions.h"

#include <charconv>
#include <cstdlib>
#include <limits>

#include "expr/expression.h"
#include "interp/process_state.h"

namespace orvel {

namespace {

inline bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t skipSpace(std::string_view s, size_t i = 0) {
  while (i < s.size() && isSpace(s[i])) i++;
  return i;
}

// The longest leading decimal real number: sign, digits with at most one
// point (at least one digit), then an exponent when digits follow the e.
struct RealSpan {
  size_t begin = 0;
  size_t end = 0;  // == begin when there is no number
  bool nonZeroDigit = false;
  bool exponent = false;
};

RealSpan scanReal(std::string_view s) {
  RealSpan r;
  size_t i = skipSpace(s);
  r.begin = r.end = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) i++;
  size_t digits = 0;
  bool nonZero = false;
  for (; i < s.size() && isDigit(s[i]); i++, digits++)
    if (s[i] != '0') nonZero = true;
  if (i < s.size() && s[i] == '.') {
    size_t j = i + 1;
    size_t frac = 0;
    for (; j < s.size() && isDigit(s[j]); j++, frac++)
      if (s[j] != '0') nonZero = true;
    if (digits + frac > 0) {
      i = j;
      digits += frac;
    }
  }
  if (digits == 0) return r;
  r.end = i;
  r.nonZeroDigit = nonZero;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) j++;
    size_t k = j;
    while (k < s.size() && isDigit(s[k])) k++;
    if (k > j) {
      r.end = k;
      r.exponent = true;
    }
  }
  return r;
}

double realOfSpan(std::string_view s, const RealSpan& r) {
  if (r.end == r.begin || !r.nonZeroDigit) return 0.0;
  std::string_view num = s.substr(r.begin, r.end - r.begin);
  std::string_view digits = num[0] == '+' ? num.substr(1) : num;
  double v = 0.0;
  auto res = std::from_chars(digits.data(), digits.data() + digits.size(), v, std::chars_format::general);
  if (res.ec == std::errc()) return v;
  // Out of range: the C library gives the infinity or the zero it stands for.
  return std::strtod(std::string(num).c_str(), nullptr);
}

}  // namespace

bool truthReal(std::string_view text) {
  // One digit, as relations and flags give.
  if (text.size() == 1 && isDigit(text[0])) return text[0] != '0';
  RealSpan r = scanReal(text);
  if (!r.nonZeroDigit) return false;
  if (!r.exponent) return true;
  return realOfSpan(text, r) != 0.0;
}

bool truthInteger(std::string_view text) {
  size_t i = skipSpace(text);
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) i++;
  for (; i < text.size() && isDigit(text[i]); i++)
    if (text[i] != '0') return true;
  return false;
}

bool truthNotZeroText(std::string_view text) {
  for (char c : text)
    if (c != '+' && c != '-' && c != '.' && c != '0') return true;
  return false;
}

int64_t readDecimalInt64(std::string_view text) {
  size_t i = skipSpace(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulated as a negative number so that the minimum fits.
  int64_t v = 0;
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  for (; i < text.size() && isDigit(text[i]); i++) {
    int d = text[i] - '0';
    if (v < (kMin + d) / 10) {
      v = kMin;
      while (i < text.size() && isDigit(text[i])) i++;
      break;
    }
    v = v * 10 - d;
  }
  if (negative) return v;
  return v == kMin ? std::numeric_limits<int64_t>::max() : -v;
}

double readDecimalReal(std::string_view text) { return realOfSpan(text, scanReal(text)); }

bool readVariableQuietly(Interp& in, std::string_view name, std::string& out) {
  std::string saved = std::move(in.result);
  bool found = setVariable(in, name, nullptr, false) == OK;
  if (found) out.swap(in.result);
  in.result = std::move(saved);
  return found;
}

int Condition::evaluateFull(Interp& in, std::string_view text) {
  expression_ = ps().expression;
  if (expression_) {
    exprValue_.clear();
    return evaluate_subexpression(in, text, exprValue_);
  }
  // An empty script leaves the result alone; as a condition it is empty.
  if (text.empty()) {
    in.result.clear();
    return OK;
  }
  if (script_.text().data() != text.data() || script_.text().size() != text.size()) script_ = PreparedScript(text);
  return script_.eval(in);
}

}  // namespace orvel
