// The expression commands: expr, calc, explain, arity, funct, functions.
#include <string>

#include "expr/expression.h"
#include "expr/function_table.h"
#include "interp/interp.h"
#include "support/wildcard.h"

namespace orvel {

namespace {

// Turns the decomposer's folding off for the lifetime of the object.
class FoldingOff {
 public:
  FoldingOff() : saved_(decomposeFolding()) { decomposeFolding() = false; }
  ~FoldingOff() { decomposeFolding() = saved_; }
  FoldingOff(const FoldingOff&) = delete;
  FoldingOff& operator=(const FoldingOff&) = delete;

 private:
  bool saved_;
};

std::string joinWords(const Args& argv, size_t first, size_t last, const char* separator, bool emptyAsBraces) {
  std::string text;
  for (size_t i = first; i < last; i++) {
    if (i > first) text += separator;
    if (argv[i].empty() && emptyAsBraces) text += "{}";
    else text += argv[i];
  }
  return text;
}

bool blankOrBraces(const std::string& text) {
  size_t a = text.find_first_not_of(" \t");
  if (a == std::string::npos) return true;
  size_t b = text.find_last_not_of(" \t");
  return text.compare(a, b - a + 1, "{}") == 0;
}

std::string trimBlanks(const std::string& s) {
  size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return std::string();
  size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

// `calc ... -explain`: the prefix form of the expression, not evaluated.
int calcExplain(Interp& in, Args& argv) {
  FoldingOff off;
  std::string text = trimBlanks(joinWords(argv, 1, argv.size() - 1, " ", false));
  std::string bracketed = text;
  int code = bracket_operators(bracketed);
  if (code == 1) return fail(in, "%s: Improper combination of + or -", argv[0].c_str());
  if (code != 0) return fail(in, "%s: Failed to decompose expression '%s'", argv[0].c_str(), text.c_str());
  std::string prefix;
  if (DecomposeExpression(in, bracketed, prefix) != 0)
    return fail(in, "%s: Failed to decompose expression '%s'", argv[0].c_str(), text.c_str());
  in.result = std::move(prefix);
  return OK;
}

int orvelCommandExpr(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  std::string text = joinWords(argv, 1, argv.size(), " ", true);
  std::string bracketed = text;
  int code = bracket_operators(bracketed);
  if (code == 1) return fail(in, "%s: Improper combination of + or - in '%s'", argv[0].c_str(), text.c_str());
  if (code != 0) return fail(in, "%s: Failed to decompose expression '%s'", argv[0].c_str(), text.c_str());
  if (blankOrBraces(bracketed)) {
    in.result.clear();
    return OK;
  }
  std::string value;
  code = evaluate_subexpression(in, bracketed, value);
  if (code == OK || code == RETURN) {
    in.result = std::move(value);
    return code;
  }
  in.result = "Error found in expr. Check expression arguments";
  return ERROR;
}

int orvelCommandCalc(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) {
    in.result.clear();
    return OK;
  }
  if (argv.back() == "-explain") return calcExplain(in, argv);
  std::string text = joinWords(argv, 1, argv.size(), "", false);
  for (char& c : text)
    if (c == ',') c = ' ';
  std::string bracketed = text;
  int code = bracket_operators(bracketed);
  if (code == 1) {
    reportError(in, "%s: (Runtime) Improper combination of + or - in '%s'\r\n", argv[0].c_str(), text.c_str());
    return ERROR;
  }
  std::string prefix;
  if (code != 0 || DecomposeExpression(in, bracketed, prefix) != 0) {
    reportError(in, "%s: (Runtime) Failed to decompose expression '%s'\r\n", argv[0].c_str(), text.c_str());
    return ERROR;
  }
  in.result.clear();
  if (prefix.empty()) return OK;
  code = orvelEval(in, prefix);
  // A failing computation is not reported as a success.
  if (code == ERROR || code == STOP || code == EXIT) return code;
  return OK;
}

int orvelCommandExplain(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  FoldingOff off;
  std::string text = joinWords(argv, 1, argv.size(), " ", false);
  std::string bracketed = text;
  int code = bracket_operators(bracketed);
  if (code == 1) return fail(in, "%s: Improper combination of + or - in '%s'", argv[0].c_str(), text.c_str());
  std::string prefix;
  if (code != 0 || DecomposeExpression(in, bracketed, prefix) != 0)
    return fail(in, "%s: Failed to decompose expression '%s'", argv[0].c_str(), text.c_str());
  in.result = std::move(prefix);
  return OK;
}

int orvelCommandArity(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const MathFunction* f = findMathFunction(argv[1]);
  in.result = f ? std::to_string(f->args) : "-1";
  return OK;
}

int orvelCommandFunct(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  if (!findMathFunction(argv[1])) return fail(in, "%s: %s is not a funct", argv[0].c_str(), argv[1].c_str());
  std::string call = "(";
  call += joinWords(argv, 2, argv.size(), ",", false);
  call += ')';
  size_t pos = 0;
  std::string value;
  if (!evaluate_function(in, argv[1], call, pos, value)) {
    in.result.clear();
    return ERROR;
  }
  in.result = std::move(value);
  return OK;
}

int orvelCommandFunctions(Interp& in, Args& argv, void*) {
  const std::string pattern = argv.size() > 1 ? argv[1] : std::string();
  std::string list;
  const MathFunction* table = mathFunctions();
  for (int i = 0; i < mathFunctionCount(); i++) {
    if (!pattern.empty() && !wildMatch(pattern, table[i].name, true)) continue;
    if (!list.empty()) list += ' ';
    list += table[i].name;
  }
  in.result = std::move(list);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"expr", orvelCommandExpr},   {"calc", orvelCommandCalc},   {"explain", orvelCommandExplain},
    {"arity", orvelCommandArity}, {"funct", orvelCommandFunct}, {"functions", orvelCommandFunctions},
};

}  // namespace
}  // namespace orvel
