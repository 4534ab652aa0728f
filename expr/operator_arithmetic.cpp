// The arithmetic, bit and logic operator commands:
// + - * / ** % & | ^ && || << >>
#include <charconv>
#include <cmath>
#include <cstring>

#include "expr/numbers.h"
#include "interp/interp.h"

namespace orvel {
namespace {

constexpr const char* kSite = "orvelCommandMath";

enum class Op { Add, Sub, Mul, Div, Pow, Mod, And, Or, Xor, LogAnd, LogOr, Shl, Shr, Unknown };

Op opOf(const std::string& n) {
  if (n.size() == 1) {
    switch (n[0]) {
      case '+': return Op::Add;
      case '-': return Op::Sub;
      case '*': return Op::Mul;
      case '/': return Op::Div;
      case '%': return Op::Mod;
      case '&': return Op::And;
      case '|': return Op::Or;
      case '^': return Op::Xor;
      default: return Op::Unknown;
    }
  }
  if (n == "**") return Op::Pow;
  if (n == "&&") return Op::LogAnd;
  if (n == "||") return Op::LogOr;
  if (n == "<<") return Op::Shl;
  if (n == ">>") return Op::Shr;
  return Op::Unknown;
}

int fault(const char* reason) {
  reportException(kSite, reason);
  return ERROR;
}

inline int64_t wrapAdd(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
inline int64_t wrapSub(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}
inline int64_t wrapMul(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}

// Left shift by a count taken from its low 8 bits; 64 or more gives 0.
inline int64_t shiftLeft(int64_t a, int64_t count) {
  unsigned c = static_cast<unsigned>(static_cast<uint64_t>(count) & 0xFF);
  return c >= 64 ? 0 : static_cast<int64_t>(static_cast<uint64_t>(a) << c);
}
// Arithmetic (sign-filling) right shift, count from its low 8 bits.
inline int64_t shiftRightSigned(int64_t a, int64_t count) {
  unsigned c = static_cast<unsigned>(static_cast<uint64_t>(count) & 0xFF);
  if (c >= 64) return a < 0 ? -1 : 0;
  return a >> c;
}
// Logical (zero-filling) right shift, count from its low 8 bits.
inline int64_t shiftRightLogical(int64_t a, int64_t count) {
  unsigned c = static_cast<unsigned>(static_cast<uint64_t>(count) & 0xFF);
  return c >= 64 ? 0 : static_cast<int64_t>(static_cast<uint64_t>(a) >> c);
}

// The product of two large reals formed in whole and fractional parts, so
// that a whole product up to 64 bits keeps all its digits: "whole.fraction".
// false when the whole part does not fit in 64 bits.
bool partedProduct(double a, double b, std::string& out) {
  constexpr double kLimit = 9223372036854775808.0;
  double aw = std::trunc(a), bw = std::trunc(b);
  double af = a - aw, bf = b - bw;
  if (!(aw < kLimit && bw < kLimit)) return false;
  int64_t whole;
  if (__builtin_mul_overflow(static_cast<int64_t>(aw), static_cast<int64_t>(bw), &whole)) return false;
  double carry = 0.0;
  for (double term : {aw * bf, bw * af, af * bf}) {
    term += carry;
    double w = std::trunc(term);
    carry = term - w;
    if (!(w < kLimit)) return false;
    if (__builtin_add_overflow(whole, static_cast<int64_t>(w), &whole)) return false;
  }
  // The fraction's digits as "%.15f" shows them (its leading zeros kept).
  char frac[32];
  auto r = std::to_chars(frac, frac + sizeof frac, carry, std::chars_format::fixed, 15);
  size_t len = static_cast<size_t>(r.ptr - frac);
  std::string_view digits(frac, len);
  if (len >= 2 && frac[0] == '1') {
    if (__builtin_add_overflow(whole, int64_t{1}, &whole)) return false;
    digits = "0";
  } else {
    digits.remove_prefix(2);  // "0."
    if (digits.find_first_not_of('0') == std::string_view::npos) digits = "0";
  }
  char buf[64];
  auto w = std::to_chars(buf, buf + 24, whole);
  *w.ptr++ = '.';
  std::memcpy(w.ptr, digits.data(), digits.size());
  out.assign(buf, static_cast<size_t>(w.ptr - buf) + digits.size());
  return true;
}

int realPath(Interp& in, Args& argv, Op op, bool aReal, bool bReal) {
  const std::string& ta = argv[1];
  const std::string& tb = argv[2];
  double a = aReal ? textToDouble(ta) : static_cast<double>(toInt64(ta));
  double b = bReal ? textToDouble(tb) : static_cast<double>(toInt64(tb));
  double r = 0.0;
  switch (op) {
    case Op::Add: r = a + b; break;
    case Op::Sub: r = a - b; break;
    case Op::Mul:
      if (a >= 2147483647.0 && b >= 2147483647.0 && partedProduct(a, b, in.result)) return OK;
      r = a * b;
      break;
    case Op::Pow: r = std::pow(a, b); break;
    case Op::Div:
      if (b == 0.0) {
        fail(in, "Float division by zero (%s / %s)", ta.c_str(), tb.c_str());
        in.result.assign("0");  // after the report, which may run a script handler
        return ERROR;
      }
      r = a / b;
      break;
    case Op::Mod:
      if (b == 0.0) return fault("Division by zero");
      r = a - b * std::trunc(a / b);
      break;
    case Op::And:
    case Op::LogAnd: r = static_cast<double>(decimalInt64(ta) & decimalInt64(tb)); break;
    case Op::Or:
    case Op::LogOr: r = static_cast<double>(decimalInt64(ta) | decimalInt64(tb)); break;
    case Op::Xor: r = static_cast<double>(decimalInt64(ta) ^ decimalInt64(tb)); break;
    case Op::Shl: r = static_cast<double>(shiftLeft(decimalInt64(ta), decimalInt64(tb))); break;
    case Op::Shr: r = static_cast<double>(shiftRightSigned(decimalInt64(ta), decimalInt64(tb))); break;
    case Op::Unknown: return fault("Float math error");
  }
  assignReal(in.result, r);
  return OK;
}

// a to the power e by repeated wrapping multiplication (by squaring, which
// gives the same 64-bit result).
int64_t wrapPow(int64_t a, int32_t e) {
  uint64_t result = 1, base = static_cast<uint64_t>(a);
  for (uint32_t n = static_cast<uint32_t>(e); n; n >>= 1) {
    if (n & 1) result *= base;
    base *= base;
  }
  return static_cast<int64_t>(result);
}

int64_t shiftLeftWidth(int64_t a, int64_t b, int64_t width) {
  switch (width) {
    case 8: return b >= 8 ? 0 : static_cast<int64_t>(((static_cast<uint64_t>(a) & 0xFF) << b) & 0xFF);
    case 16: return b >= 16 ? 0 : static_cast<int64_t>((static_cast<uint64_t>(a) << b) & 0xFFFF);
    case 32: return b >= 32 ? 0 : static_cast<int64_t>(static_cast<uint32_t>(static_cast<uint32_t>(a) << b));
    default: return shiftLeft(a, b);
  }
}

int64_t shiftRightWidth(int64_t a, int64_t b, int64_t width) {
  switch (width) {
    case 8: return static_cast<int64_t>(static_cast<uint64_t>(shiftRightSigned(a, b)) & 0xFF);
    case 16: return static_cast<int64_t>(static_cast<uint64_t>(shiftRightSigned(a, b)) & 0xFFFF);
    case 32: return static_cast<int64_t>(static_cast<uint64_t>(shiftRightSigned(a, b)) & 0xFFFFFFFF);
    default: return shiftRightLogical(a, b);
  }
}

int integerPath(Interp& in, Args& argv, Op op) {
  const std::string& ta = argv[1];
  const std::string& tb = argv[2];
  int64_t a = toInt64(ta), b = toInt64(tb), r = 0;
  switch (op) {
    case Op::Add: r = wrapAdd(a, b); break;
    case Op::Sub: r = wrapSub(a, b); break;
    case Op::Mul: r = wrapMul(a, b); break;
    case Op::Div:
      if (b == 0) {
        fail(in, "Integer division by zero (%s / %s)", ta.c_str(), tb.c_str());
        in.result.assign("0");  // after the report, which may run a script handler
        return ERROR;
      }
      if (b == -1 && a == INT64_MIN) return fault("Integer math error");
      r = a / b;
      break;
    case Op::Mod:
      if (b == 0) return fault("Division by zero");
      r = b == -1 ? 0 : a % b;
      break;
    case Op::And: r = a & b; break;
    case Op::Or: r = a | b; break;
    case Op::Xor: r = a ^ b; break;
    case Op::LogAnd: r = (a != 0 && b != 0) ? 1 : 0; break;
    case Op::LogOr: r = (a != 0 || b != 0) ? 1 : 0; break;
    case Op::Shl:
    case Op::Shr: {
      if (b < 0) return fault("Negative shift argument");
      int64_t width = argv.size() > 3 ? decimalInt64(argv[3]) : 0;
      r = op == Op::Shl ? shiftLeftWidth(a, b, width) : shiftRightWidth(a, b, width);
      break;
    }
    case Op::Pow: {
      int32_t e = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(b) & 0xFFFFFFFFu));
      r = e == 0 ? 1 : e < 0 ? a : wrapPow(a, e);
      if (r == INT64_MIN) return fault("** Math overflow");
      break;
    }
    case Op::Unknown: return fault("Integer math error");
  }
  assignInt(in.result, r);
  return OK;
}

int orvelCommandMath(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Op op = opOf(argv[0]);
  bool aReal = isRealOperand(argv[1]);
  bool bReal = !aReal && isRealOperand(argv[2]);
  if (aReal || bReal) return realPath(in, argv, op, aReal, aReal ? isRealOperand(argv[2]) : true);
  return integerPath(in, argv, op);
}

const CommandRegistrar kRegs[] = {
    {"+", orvelCommandMath},  {"-", orvelCommandMath},  {"*", orvelCommandMath},  {"/", orvelCommandMath},
    {"**", orvelCommandMath}, {"%", orvelCommandMath},  {"&", orvelCommandMath},  {"|", orvelCommandMath},
    {"^", orvelCommandMath},  {"&&", orvelCommandMath}, {"||", orvelCommandMath}, {"<<", orvelCommandMath},
    {">>", orvelCommandMath},
};

}  // namespace
}  // namespace orvel
