// vfract value ?-digits?: the fractional part of a number exactly as its
// text writes it, with no rounding through a real: "3.14159" gives
// "0.14159", "-2.750" gives "-0.750", an integer gives "0.0". With -digits
// only the digits after the point ("14159"; "0" when there are none).
// Where fpart and fraction compute x minus its whole part as a real and print
// it "%.15f", vfract keeps the written digits; texts with an exponent are
// first written out in that "%.15f" form.
#include "commands/core/binary_engine.h"
#include "expr/numbers.h"
#include "interp/interp.h"

namespace orvel {

namespace {

// Splits a plain decimal text (blanks, sign, digits, optional point and
// digits) into its sign and fraction digits; false for other texts.
bool plainFraction(std::string_view s, bool& negative, std::string& digits) {
  size_t i = 0, n = s.size();
  while (i < n && (s[i] == ' ' || s[i] == '\t')) i++;
  while (n > i && (s[n - 1] == ' ' || s[n - 1] == '\t')) n--;
  negative = false;
  if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool any = false;
  while (i < n && s[i] >= '0' && s[i] <= '9') {
    i++;
    any = true;
  }
  digits.clear();
  if (i < n && s[i] == '.') {
    for (i++; i < n && s[i] >= '0' && s[i] <= '9'; i++) {
      digits += s[i];
      any = true;
    }
  }
  return any && i == n;
}

int orvelCommandVfract(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  if (argv.size() == 3 && argv[2] != "-digits")
    return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), argv[2].c_str());
  const bool onlyDigits = argv.size() == 3;
  bool negative = false;
  std::string digits;
  int64_t whole;
  double real;
  if (!plainFraction(argv[1], negative, digits)) {
    if (binary::strictInteger(argv[1], whole)) {
      digits.clear();
    } else if (binary::strictReal(argv[1], real)) {
      if (!plainFraction(realResultText(real), negative, digits))
        return fail(in, "%s: Invalid number '%s'", argv[0].c_str(), argv[1].c_str());
    } else {
      in.result.clear();
      return fail(in, "%s: Invalid number '%s'", argv[0].c_str(), argv[1].c_str());
    }
  }
  if (onlyDigits) {
    in.result = digits.empty() ? std::string("0") : digits;
    return OK;
  }
  bool zero = digits.find_first_not_of('0') == std::string::npos;
  in.result = (negative && !zero ? "-0." : "0.") + (digits.empty() ? std::string("0") : digits);
  return OK;
}

const CommandRegistrar reg[] = {{"vfract", orvelCommandVfract}};

}  // namespace

}  // namespace orvel
