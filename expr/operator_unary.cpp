// The unary operator commands: ! (logical not) and ~ (bitwise complement).
#include "expr/numbers.h"
#include "interp/interp.h"

namespace orvel {
namespace {

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isHexDigit(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A decimal number (optional sign, digits, at most one point) or "0x"
// followed only by hex digits.
bool isPlainNumber(std::string_view s) {
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    for (size_t i = 2; i < s.size(); i++)
      if (!isHexDigit(s[i])) return false;
    return true;
  }
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) i++;
  int digits = 0, dots = 0;
  for (; i < s.size(); i++) {
    if (isDigit(s[i])) digits++;
    else if (s[i] == '.' && dots == 0) dots++;
    else return false;
  }
  return digits > 0;
}

int orvelCommandNot(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool isUnsigned = false;
  for (size_t i = 2; i < argv.size(); i++)
    if (argv[i] == "-unsigned") isUnsigned = true;
  if (argv.size() > 2 && !isUnsigned) return wrongNumArgs(in, argv);
  const std::string& text = argv[1];
  if (text.empty()) {
    in.result.assign("1", 1);
    return OK;
  }
  if (!isPlainNumber(text))
    return fail(in, "%s: Invalid argument '%s' (expected a number)", argv[0].c_str(), text.c_str());
  int64_t v = toInt64(text);
  int64_t r = argv[0] == "!" ? (v == 0 ? 1 : 0) : ~v;
  if (isUnsigned) assignUint(in.result, static_cast<uint64_t>(r));
  else assignInt(in.result, r);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"!", orvelCommandNot},
    {"~", orvelCommandNot},
};

}  // namespace
}  // namespace orvel
