// The math function evaluator: name(arg) and name(arg1, arg2) calls met by
// the infix evaluator and the funct command.
#include <cmath>
#include <cstdlib>
#include <string>

#include "expr/expression.h"
#include "expr/expression_text.h"
#include "expr/function_table.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "platform/console.h"
#include "platform/system.h"
#include "support/ascii_case.h"
#include "support/mt19937.h"

namespace orvel {

namespace {

constexpr double kRandScale = 4.656612875245797e-10;
constexpr double kDegreesPerRadian = 57.29577951471995;
// More decimals than this cannot change a double's text; larger requests
// are cut here so that round() cannot ask for an enormous text.
constexpr int64_t kMaxRoundDecimals = 400;

// Fibonacci numbers modulo 2^64 by fast doubling: F(2k) = F(k)(2F(k+1) - F(k)),
// F(2k+1) = F(k)^2 + F(k+1)^2. Unsigned arithmetic wraps, so every index
// gives the same value as the plain recurrence, in logarithmic time.
uint64_t fibonacci(uint64_t n) {
  uint64_t a = 0, b = 1;  // F(k), F(k+1) for k = the bits of n read so far
  for (int bit = 63; bit >= 0; bit--) {
    uint64_t c = a * (2 * b - a);
    uint64_t d = a * a + b * b;
    if ((n >> bit) & 1u) {
      a = d;
      b = c + d;
    } else {
      a = c;
      b = d;
    }
  }
  return a;
}

// Rounding half away from zero to n decimals.
double roundTo(double x, int64_t n) {
  if (x == 0) return 0;
  double s = std::pow(10.0, static_cast<double>(n));
  double scaled = x * s;
  if (!std::isfinite(scaled) || !std::isfinite(s)) return x;  // nothing left to round at that precision
  double w;
  double f = std::modf(scaled, &w);
  // Adding 0.0 turns a negative zero into zero, so that no "-0" is shown.
  if (x >= 0) return (f >= 0.5 ? w + 1 : w) / s + 0.0;
  return (f <= -0.5 ? w - 1 : w) / s + 0.0;
}

// A decimal number: optional sign, digits with at most one point.
bool isDecimalNumber(std::string_view v) {
  size_t i = 0;
  if (i < v.size() && (v[i] == '+' || v[i] == '-')) i++;
  bool digits = false, point = false;
  for (; i < v.size(); i++) {
    if (isAsciiDigit(v[i])) digits = true;
    else if (v[i] == '.' && !point) point = true;
    else return false;
  }
  return digits;
}

bool oneArgument(Interp& in, const std::string& name, const std::string& v, std::string& out) {
  std::string f = name;
  for (char& c : f) c = asciiLower(c);
  double x = realValue(v);
  auto real = [&](double r) {
    out = realText(r);
    return true;
  };
  auto integer = [&](int64_t r) {
    out = intText(r);
    return true;
  };
  auto domainError = [&]() {
    fail(in, "%s(%s): Domain error", name.c_str(), v.c_str());
    return false;
  };
  if (f == "abs") return real(std::fabs(x));
  if (f == "bool") {
    if (isDecimalNumber(v)) return integer(decimalValue(v) != 0 ? 1 : 0);
    return integer(equalsNoCase(v, "true") ? 1 : 0);
  }
  if (f == "srand") {
    int64_t seed = decimalValue(v);
    if (seed == 0) seed = static_cast<int64_t>(plat::systemTime().millisecond) * static_cast<int64_t>(plat::tickMs());
    std::srand(static_cast<unsigned>(seed));
    return integer(0);
  }
  if (f == "incr") return integer(static_cast<int64_t>(static_cast<uint64_t>(decimalValue(v)) + 1u));
  if (f == "decr") return integer(static_cast<int64_t>(static_cast<uint64_t>(decimalValue(v)) - 1u));
  if (f == "int" || f == "wide") return integer(x >= 0 ? decimalValue(v) : doubleToInt64(std::floor(x)));
  if (f == "acos" || f == "asin") {
    if (x < -1 || x > 1) return domainError();
    return real(f == "acos" ? std::acos(x) : std::asin(x));
  }
  if (f == "atan") return real(std::atan(x));
  if (f == "ceil") return real(std::ceil(x));
  if (f == "floor") return real(std::floor(x));
  if (f == "cos") return real(std::cos(x));
  if (f == "sin") return real(std::sin(x));
  if (f == "tan") return real(std::tan(x));
  if (f == "cosh") return real(std::cosh(x));
  if (f == "sinh") return real(std::sinh(x));
  if (f == "tanh") return real(std::tanh(x));
  if (f == "exp") return real(std::exp(x));
  if (f == "double") return real(x);
  if (f == "fix") return integer(doubleToInt64(std::trunc(x)));
  if (f == "fib") {
    int64_t k = decimalValue(v);
    return integer(k <= 0 ? 0 : static_cast<int64_t>(fibonacci(static_cast<uint64_t>(k))));
  }
  if (f == "fraction") return real(x - std::trunc(x));
  if (f == "round") {
    out = strprintf("%.0f", roundTo(x, 0));
    return true;
  }
  if (f == "log" || f == "log10") {
    if (x < 0) return domainError();
    return real(f == "log" ? std::log(x) : std::log10(x));
  }
  if (f == "sqr") return real(x * x);
  if (f == "sqrt") {
    if (x < 0) return domainError();
    return real(std::sqrt(x));
  }
  if (f == "sgn") return integer(x > 0 ? 1 : (x < 0 ? -1 : 0));
  if (f == "integral") return integer(decimalValue(v));
  if (f == "degrees") return real(x * kDegreesPerRadian);
  fail(in, "function: Error, wrong # of args (%lld) for '%s'", 1LL, name.c_str());
  return real(0);
}

bool twoArguments(Interp& in, const std::string& name, const std::string& va, const std::string& vb,
                  std::string& out) {
  std::string f = name;
  for (char& c : f) c = asciiLower(c);
  double a = realValue(va), b = realValue(vb);
  auto real = [&](double r) {
    out = realText(r);
    return true;
  };
  if (f == "div") return real(b == 0 ? 0.0 : a / b);
  if (f == "mul") return real(a * b);
  if (f == "fmod") return real(std::fmod(a, b));
  if (f == "hypot") return real(std::hypot(a, b));
  if (f == "max") return real(a > b ? a : b);
  if (f == "min") return real(a < b ? a : b);
  if (f == "pow") {
    if (b > 1000) {
      fail(in, "Error: RValue overflow - pow(%s,%s)", va.c_str(), vb.c_str());
      return false;
    }
    return real(std::pow(a, b));
  }
  if (f == "round") {
    int64_t n = decimalValue(vb);
    if (n < 0) n = 0;
    if (n > kMaxRoundDecimals) n = kMaxRoundDecimals;
    out = strprintf("%.*f", static_cast<int>(n), roundTo(a, n));
    return true;
  }
  if (f == "rnd") {
    int64_t lo = decimalValue(va), hi = decimalValue(vb);
    out = intText(mtRange(lo < 0 ? 0 : lo, hi < 0 ? 0 : hi));
    return true;
  }
  fail(in, "Error: Wrong number of arguments (%lld) for function '%s'", 2LL, name.c_str());
  out = "0";
  return true;
}

// The first comma of the argument list outside parentheses, brackets and
// braces; npos when there is none.
size_t argumentComma(std::string_view list) {
  int depth = 0;
  for (size_t i = 0; i < list.size(); i++) {
    char c = list[i];
    if (c == '[' || c == '{' || c == '"') {
      i = skipRegion(list, i) - 1;
      continue;
    }
    if (c == '(') depth++;
    else if (c == ')') depth--;
    else if (c == ',' && depth == 0) return i;
  }
  return std::string_view::npos;
}

bool evaluateArgument(Interp& in, std::string_view text, std::string& value) {
  size_t pos = 0;
  int err = 0;
  return evaluate_infix(in, text, pos, err, value) && err == 0;
}

}  // namespace

bool evaluate_function(Interp& in, std::string_view nameView, std::string_view text, size_t& pos,
                       std::string& value) {
  value.clear();
  std::string name(nameView);
  size_t i = pos;
  while (i < text.size() && isBlankOrTab(text[i])) i++;
  if (i >= text.size() || text[i] != '(') {
    fail(in, "Syntax error in '%s'", name.c_str());
    return false;
  }
  size_t close = matchingClose(text, i, '(', ')');
  if (close == std::string_view::npos) {
    if (ps().debug)
      plat::writeOut(strprintf("Expression in function '%s' '%s' has too many (\r\n", name.c_str(),
                               std::string(text.substr(i)).c_str()));
    pos = text.size();
    return false;
  }
  pos = close + 1;
  std::string_view list = text.substr(i + 1, close - i - 1);
  bool blank = true;
  for (char c : list)
    if (!isBlankOrTab(c)) blank = false;

  std::string out;
  bool ok;
  if (blank) {
    if (!equalsNoCase(name, "rand")) return false;
    out = strprintf("%.15f", static_cast<double>(mtRange(0, 2147483647)) * kRandScale);
    ok = true;
  } else {
    size_t comma = argumentComma(list);
    std::string_view first = comma == std::string_view::npos ? list : list.substr(0, comma);
    std::string_view second = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    std::string a, b;
    bool haveA = evaluateArgument(in, first, a);
    bool haveB = comma == std::string_view::npos || evaluateArgument(in, second, b);
    if (!haveA || !haveB) {
      fail(in, "Error: Improper argument for function %s(%s,%s)", name.c_str(), std::string(first).c_str(),
           std::string(second).c_str());
      out = realText(0);
      ok = true;
    } else if (comma == std::string_view::npos) {
      ok = oneArgument(in, name, a, out);
    } else {
      ok = twoArguments(in, name, a, b, out);
    }
  }
  if (!ok || out.empty()) return false;
  value = std::move(out);
  return true;
}

}  // namespace orvel
