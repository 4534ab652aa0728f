// The branch commands: if and switch.
#include <vector>

#include "commands/core/control_flow_conditions.h"
#include "expr/expression.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "interp/process_state.h"
#include "platform/console.h"
#include "support/wildcard.h"

namespace orvel {

namespace {

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// ---- if

// In expression mode the first condition of `if` is trimmed, joined into
// one line and substituted before it is evaluated as an expression.
int firstConditionAsExpression(Interp& in, std::string_view cond, bool& taken) {
  auto trimmed = [](char c) { return c == '\r' || c == '\n' || c == '\t' || c == ' '; };
  while (!cond.empty() && trimmed(cond.front())) cond.remove_prefix(1);
  while (!cond.empty() && trimmed(cond.back())) cond.remove_suffix(1);
  std::string line;
  line.reserve(cond.size());
  for (char c : cond)
    if (c != '\r' && c != '\n') line += c;
  if (line.empty()) return OK;
  int code = orvelEval(in, line, true);
  if (code != OK) return code;
  std::string substituted = std::move(in.result);
  in.result.clear();
  if (substituted.empty()) return OK;
  std::string value;
  code = evaluate_subexpression(in, substituted, value);
  if (code != OK) return code;
  taken = truthReal(value);
  return OK;
}

int orvelCommandIf(Interp& in, Args& argv, void*) {
  const size_t argc = argv.size();
  if (argc < 3 || argc == 4 || argc == 7) return wrongNumArgs(in, argv);
  bool taken = false;
  int code;
  if (ps().expression) {
    code = firstConditionAsExpression(in, argv[1], taken);
  } else {
    Condition c;
    code = c.evaluate(in, argv[1]);
    taken = code == OK && truthReal(in.result);
  }
  if (code != OK) return code;
  // Bodies run as prepared scripts: a body of one simple operation then
  // needs no evaluation of its own.
  if (taken) return PreparedScript(argv[2]).eval(in);
  if (argc <= 4) return OK;
  const bool hasElse = equalsNoCase(argv[argc - 2], "else");
  const size_t chainEnd = hasElse ? argc - 2 : argc;
  for (size_t i = 3; i < chainEnd; i += 3) {
    if (!equalsNoCase(argv[i], "elseif")) {
      plat::writeOut(strprintf("%s: expected 'elseif' / 'else': found '%s' as arg %i...\r\n", argv[0].c_str(),
                               argv[i].c_str(), static_cast<int>(i)));
      return ERROR;
    }
    if (i + 2 >= chainEnd) return wrongNumArgs(in, argv);  // an elseif without its body
    Condition c;
    code = c.evaluate(in, argv[i + 1]);
    if (code != OK) return code;
    if (truthReal(c.value(in))) return PreparedScript(argv[i + 2]).eval(in);
  }
  if (hasElse) return PreparedScript(argv[argc - 1]).eval(in);
  return OK;
}

// ---- switch

// Optional leading blanks or tabs, an optional sign, then only digits.
bool isIntegerText(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) i++;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) i++;
  if (i == s.size()) return false;
  for (; i < s.size(); i++)
    if (!isDigit(s[i])) return false;
  return true;
}

// An optional sign, digits and exactly one point, at least one digit.
bool isPointDecimal(std::string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) i++;
  int digits = 0, points = 0;
  for (; i < s.size(); i++) {
    if (isDigit(s[i])) digits++;
    else if (s[i] == '.') points++;
    else return false;
  }
  return points == 1 && digits > 0;
}

// Integer texts compared by value, whatever their length.
bool sameInteger(std::string_view a, std::string_view b) {
  auto norm = [](std::string_view s, bool& negative) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) i++;
    negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    while (i + 1 < s.size() && s[i] == '0') i++;
    std::string_view digits = s.substr(i);
    if (digits == "0") negative = false;
    return digits;
  };
  bool na, nb;
  std::string_view da = norm(a, na), db = norm(b, nb);
  return na == nb && da == db;
}

struct SwitchOptions {
  bool glob = false;
  bool nocase = false;
  bool eval = false;
};

// Numbers compare by value: as reals when either side has a decimal
// point and both are numbers, else as integers. Other texts compare by
// wildcard (glob) or as plain text.
bool patternMatches(std::string_view pattern, std::string_view value, const SwitchOptions& o) {
  const bool pointP = isPointDecimal(pattern), pointV = isPointDecimal(value);
  const bool intP = isIntegerText(pattern), intV = isIntegerText(value);
  if (pointP || pointV) {
    if ((pointP || intP) && (pointV || intV)) return readDecimalReal(pattern) == readDecimalReal(value);
  } else if (intP && intV) {
    return sameInteger(pattern, value);
  }
  if (o.glob) return wildMatch(pattern, value, o.nocase);
  return o.nocase ? equalsNoCase(pattern, value) : pattern == value;
}

// Runs a chosen body. The body's result stands unless it is empty or the
// last substitution did not succeed; then the switch value is the result.
// A `return` ends only the switch.
int runSwitchBody(Interp& in, const std::string& body, const std::string& value) {
  in.result.clear();
  int code = body == "{}" ? OK : orvelEval(in, body);
  if (in.result.empty() || in.substCode != OK) in.result = value;
  return code == RETURN ? OK : code;
}

// switch ?options? value {pattern body ...}
// switch ?options? value pattern body ?pattern body ...?
// Options are recognised anywhere until a `--`; every word after `--` is
// a word, so a value or pattern that looks like an option can be given.
int orvelCommandSwitch(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  SwitchOptions opt;
  std::vector<const std::string*> words;
  bool optionsEnded = false;
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& a = argv[i];
    if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      if (a == "--") {
        optionsEnded = true;
        continue;
      }
      if (a == "-glob") {
        opt.glob = true;
        opt.eval = false;
        continue;
      }
      if (a == "-nocase") {
        opt.nocase = true;
        continue;
      }
      if (a == "-exact") {
        opt.glob = opt.eval = false;
        continue;
      }
      if (a == "-eval") {
        opt.eval = true;
        opt.glob = false;
        continue;
      }
    }
    words.push_back(&a);
  }
  if (words.size() < 2) return fail(in, "switch: Invalid argument count");
  const std::string& value = *words[0];
  std::vector<std::string> items;
  if (words.size() == 2) {
    TclTokenised3(*words[1], items);
  } else {
    if (words.size() % 2 == 0) return wrongNumArgs(in, argv);
    items.reserve(words.size() - 1);
    for (size_t i = 1; i < words.size(); i++) items.push_back(*words[i]);
  }
  set_var(in, "this", value);
  const size_t n = items.size();
  if (n % 2)
    return fail(in, "%s: Error: Odd number of switch argument pairs (%li)", argv[0].c_str(), static_cast<long>(n));

  bool fallThrough = false;
  std::string patternValue;
  for (size_t k = 0; k < n; k += 2) {
    const std::string& pattern = items[k];
    const std::string& body = items[k + 1];
    if (fallThrough) {
      if (body == "-") continue;
      return runSwitchBody(in, body, value);
    }
    if (equalsNoCase(pattern, "default")) {
      if (k + 2 < n) {
        in.result.clear();
        reportError(in, "switch: default statement must appear last at level %i in %s\n", frameLevel(in),
                    procNameOf(in));
        return ERROR;
      }
      if (body.empty() || body == "{}") {
        in.result.clear();
        return OK;
      }
      return runSwitchBody(in, body, value);
    }
    std::string_view text;
    if (opt.glob) {
      text = pattern;
    } else if (pattern.size() >= 2 && pattern[0] == '$') {
      if (!readVariableQuietly(in, std::string_view(pattern).substr(1), patternValue)) continue;
      text = patternValue;
    } else if (body == "-") {
      // A matching pair hands the switch value to the next pattern, so the
      // next pair matches too.
      if (!pattern.empty() && patternMatches(pattern, value, opt) && k + 2 < n) items[k + 2] = value;
      continue;
    } else if (opt.eval) {
      patternValue.clear();
      int code = evaluate_subexpression(in, pattern, patternValue);
      if (code != OK) return code;
      text = patternValue;
    } else {
      text = pattern;
    }
    if (text.empty() || in.substCode != OK || !patternMatches(text, value, opt)) continue;
    if (body == "-") {
      fallThrough = true;
      continue;
    }
    return runSwitchBody(in, body, value);
  }
  in.result.clear();
  return fail(in, "switch: No matching case for '%s'", value.c_str());
}

}  // namespace

const CommandRegistrar kRegs[] = {{"if", orvelCommandIf}, {"switch", orvelCommandSwitch}};

}  // namespace orvel
