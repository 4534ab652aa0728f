// Number parts and truth values: trunc, fpart, round, fib, fmod, integral,
// fraction, bool, true, false, sbool, <=> and inrange. The commands that
// share a name with a math function give what that function gives.
#include <cmath>
#include <string>

#include "expr/expression.h"
#include "expr/numbers.h"
#include "interp/interp.h"

namespace orvel {

namespace {

bool isNumber(std::string_view s) { return numberKind(s) != kNotNumber; }

bool checkNumbers(Interp& in, const Args& argv, size_t from) {
  for (size_t i = from; i < argv.size(); i++)
    if (!isNumber(argv[i])) {
      fail(in, "%s: Invalid number '%s'", argv[0].c_str(), argv[i].c_str());
      return false;
    }
  return true;
}

// Calls the math function of the same name with the (numeric) arguments.
int callFunction(Interp& in, const char* name, const Args& argv, size_t from) {
  std::string call = "(";
  for (size_t i = from; i < argv.size(); i++) {
    if (i > from) call += ',';
    call += argv[i];
  }
  call += ')';
  size_t pos = 0;
  std::string value;
  if (!evaluate_function(in, name, call, pos, value)) {
    in.result.clear();
    return ERROR;
  }
  in.result = std::move(value);
  return OK;
}

// fib n / integral x / fraction x / fmod a b / round x ?decimals?
int orvelCommandFib(Interp& in, Args& argv, void*) {
  const std::string& name = argv[0];
  size_t want = name == "fmod" ? 3 : 2;
  if (name == "round" ? (argv.size() < 2 || argv.size() > 3) : argv.size() != want) return wrongNumArgs(in, argv);
  if (!checkNumbers(in, argv, 1)) return ERROR;
  if (name == "fmod" && textToDouble(argv[2]) == 0.0) return fail(in, "%s: Division by zero", name.c_str());
  return callFunction(in, name.c_str(), argv, 1);
}

// trunc x: the whole-number part as an integer; fpart x: the fraction.
int orvelCommandTrunc(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  if (!checkNumbers(in, argv, 1)) return ERROR;
  if (numberKind(argv[1]) == kIntegerNumber) {
    in.result = argv[0] == "trunc" ? intText(toInt64(argv[1])) : realResultText(0.0);
    return OK;
  }
  double d = textToDouble(argv[1]);
  if (argv[0] == "trunc") {
    double whole = std::trunc(d);
    if (!(whole >= -9.2233720368547758e18 && whole < 9.2233720368547758e18))
      return fail(in, "%s: Value out of range '%s'", argv[0].c_str(), argv[1].c_str());
    in.result = intText(static_cast<int64_t>(whole));
  } else {
    in.result = realResultText(d - std::trunc(d));
  }
  return OK;
}

// The truth of a word: numbers by their value, else true/yes/on and
// false/no/off in any case. False when the word is neither.
bool truth(std::string_view s, bool& value) {
  if (isNumber(s)) {
    value = numberKind(s) == kRealNumber ? textToDouble(s) != 0.0 : toInt64(s) != 0;
    return true;
  }
  if (equalsNoCase(s, "true") || equalsNoCase(s, "yes") || equalsNoCase(s, "on")) {
    value = true;
    return true;
  }
  if (equalsNoCase(s, "false") || equalsNoCase(s, "no") || equalsNoCase(s, "off")) {
    value = false;
    return true;
  }
  return false;
}

// bool x: 1 or 0; sbool x: True or False; true ?x?: 1 when x is true (no x:
// 1); false ?x?: 1 when x is false (no x: 0).
int orvelCommandBool(Interp& in, Args& argv, void*) {
  const std::string& name = argv[0];
  bool optional = name == "true" || name == "false";
  if (argv.size() > 2 || (argv.size() < 2 && !optional)) return wrongNumArgs(in, argv);
  if (argv.size() == 1) {
    in.result = name == "true" ? "1" : "0";
    return OK;
  }
  bool v;
  if (!truth(argv[1], v)) return fail(in, "%s: Invalid boolean value '%s'", name.c_str(), argv[1].c_str());
  if (name == "sbool") in.result = v ? "True" : "False";
  else if (name == "false") in.result = v ? "0" : "1";
  else in.result = v ? "1" : "0";
  return OK;
}

// a <=> b: -1, 0 or 1; numbers compare by value, other texts byte by byte.
int compareValues(std::string_view a, std::string_view b) {
  int ka = numberKind(a), kb = numberKind(b);
  if (ka && kb) {
    if (ka == kIntegerNumber && kb == kIntegerNumber) {
      int64_t x = toInt64(a), y = toInt64(b);
      return x < y ? -1 : x > y ? 1 : 0;
    }
    double x = ka == kRealNumber ? textToDouble(a) : static_cast<double>(toInt64(a));
    double y = kb == kRealNumber ? textToDouble(b) : static_cast<double>(toInt64(b));
    return x < y ? -1 : x > y ? 1 : 0;
  }
  int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int orvelCommandSpaceship(Interp& in, Args& argv, void*) {
  if (argv.size() != 3) return wrongNumArgs(in, argv);
  in.result = intText(compareValues(argv[1], argv[2]));
  return OK;
}

// inrange value low high: 1 when low <= value <= high.
int orvelCommandInrange(Interp& in, Args& argv, void*) {
  if (argv.size() != 4) return wrongNumArgs(in, argv);
  if (!checkNumbers(in, argv, 1)) return ERROR;
  in.result = compareValues(argv[2], argv[1]) <= 0 && compareValues(argv[1], argv[3]) <= 0 ? "1" : "0";
  return OK;
}

const CommandRegistrar reg[] = {
    {"fib", orvelCommandFib},         {"fmod", orvelCommandFib},          {"round", orvelCommandFib},
    {"integral", orvelCommandFib},    {"fraction", orvelCommandFib},      {"trunc", orvelCommandTrunc},
    {"fpart", orvelCommandTrunc},     {"bool", orvelCommandBool},         {"true", orvelCommandBool},
    {"false", orvelCommandBool},      {"sbool", orvelCommandBool},        {"<=>", orvelCommandSpaceship},
    {"inrange", orvelCommandInrange},
};

}  // namespace

}  // namespace orvel
