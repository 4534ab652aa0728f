// The assignment operator commands: *= += -= /= &= |= ^=
// The first word names a variable whose value is the left operand and
// which receives the new value; a word that names no variable is itself
// the left operand and nothing is stored.
#include <cmath>

#include "expr/numbers.h"
#include "expr/operator_variables.h"
#include "interp/interp.h"

namespace orvel {
namespace {

constexpr const char* kSite = "orvelCommandCombiMath";

int orvelCommandCombiMath(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  bool isUnsigned = false;
  for (size_t i = 3; i < argv.size(); i++)
    if (argv[i] == "-unsigned") isUnsigned = true;
  const std::string& name = argv[0];
  char op = name.size() == 2 && name[1] == '=' ? name[0] : '\0';

  Var* v = orvelGetVar(in, argv[1]);
  std::string scratch;
  std::string_view left = v ? operandValue(in, v, scratch) : std::string_view(argv[1]);
  if (left.empty()) left = "0";
  std::string_view right = argv[2];

  if (isRealOperand(left) || isRealOperand(right)) {
    double a = textToDouble(left), b = textToDouble(right), r;
    switch (op) {
      case '+': r = a + b; break;
      case '-': r = a - b; break;
      case '*': r = a * b; break;
      case '/':
        if (b == 0.0) return fail(in, "%s: Division by zero", name.c_str());
        r = a / b;
        break;
      default: return fail(in, "%s: Unhandled float operator", name.c_str());
    }
    assignReal(in.result, r);
  } else {
    uint64_t a = static_cast<uint64_t>(decimalInt64(left)), b = static_cast<uint64_t>(decimalInt64(right)), r;
    int64_t sa = static_cast<int64_t>(a), sb = static_cast<int64_t>(b);
    switch (op) {
      case '+': r = a + b; break;
      case '-': r = a - b; break;
      case '*': r = a * b; break;
      case '&': r = a & b; break;
      case '|': r = a | b; break;
      case '^': r = a ^ b; break;
      case '/':
        if (b == 0) return fail(in, "%s: Division by zero", name.c_str());
        if (isUnsigned) {
          r = a / b;
        } else {
          if (sa == INT64_MIN && sb == -1) {
            reportException(kSite, name.c_str());
            return ERROR;
          }
          r = static_cast<uint64_t>(sa / sb);
        }
        break;
      default: return fail(in, "%s: Unhandled integer operator", name.c_str());
    }
    if (isUnsigned) assignUint(in.result, r);
    else assignInt(in.result, static_cast<int64_t>(r));
  }
  if (v) {
    int code = storeOperandValue(in, v, argv[1], in.result);
    if (code != OK) return code;
  }
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"*=", orvelCommandCombiMath}, {"+=", orvelCommandCombiMath}, {"-=", orvelCommandCombiMath},
    {"/=", orvelCommandCombiMath}, {"&=", orvelCommandCombiMath}, {"|=", orvelCommandCombiMath},
    {"^=", orvelCommandCombiMath},
};

}  // namespace
}  // namespace orvel
