// Debugging aids: assertions, existence tests of variables and commands, and
// listings of the visible variables.
#include <algorithm>
#include <cctype>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "platform/console.h"
#include "support/wildcard.h"

namespace orvel {

namespace {

bool truthText(const std::string& s) {
  if (equalsNoCase(s, "true") || equalsNoCase(s, "yes") || equalsNoCase(s, "on")) return true;
  if (s.empty() || equalsNoCase(s, "false") || equalsNoCase(s, "no") || equalsNoCase(s, "off")) return false;
  if (numberKind(s) == kRealNumber) return textToDouble(s) != 0.0;
  return toInt64(s) != 0;
}

// assert CONDITION ?message?: the condition is an expression; a false one
// is an error naming the condition (or giving the message).
int orvelCommandAssert(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 3) return wrongNumArgs(in, argv);
  Args words{"expr", argv[1]};
  int rc = orvelEvalWords(in, words);
  if (rc != OK) return rc;
  if (truthText(in.result)) {
    in.result = "1";
    return OK;
  }
  if (argv.size() == 3) return fail(in, "%s: %s", argv[0].c_str(), argv[2].c_str());
  return fail(in, "%s: Assertion failed: %s", argv[0].c_str(), argv[1].c_str());
}

// defined NAME: 1 when a variable of that name is visible here.
int orvelCommandDefined(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  in.result = orvelGetVar(in, argv[1]) ? "1" : "0";
  return OK;
}

// is_command NAME: 1 for any command (built-in, procedure or alias).
int orvelCommandIsCommand(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  in.result = orvelGetCommand(in, argv[1]) ? "1" : "0";
  return OK;
}

// is_proc NAME: 1 for a procedure defined by a script.
int orvelCommandIsProc(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  Command* c = orvelGetCommand(in, argv[1]);
  in.result = c && c->kind == 1 ? "1" : "0";
  return OK;
}

// vars ?pattern?: prints "name = value" for each variable of the current
// frame (arrays as their element count), sorted by name ignoring case; the
// result is the number printed.
int orvelCommandVars(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  std::string pattern = argv.size() == 2 ? argv[1] : std::string("*");
  std::vector<Var*> vars = in.callFrame ? in.callFrame->vars.list() : std::vector<Var*>{};
  std::sort(vars.begin(), vars.end(), [](Var* a, Var* b) {
    std::string x = a->name, y = b->name;
    for (char& c : x) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : y) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return x < y;
  });
  std::string out;
  int64_t count = 0;
  for (Var* v : vars) {
    if (!wildMatch(pattern, v->name)) continue;
    std::string value;
    if (v->kind == VK_ARRAY)
      value = "(array)";
    else if (!readVarValue(in, v, value))
      value = v->value;
    out += v->name + " = " + value + "\n";
    count++;
  }
  plat::writeOut(out);
  in.result = intText(count);
  return OK;
}

const CommandRegistrar reg[] = {
    {"assert", orvelCommandAssert},         {"defined", orvelCommandDefined},
    {"is_command", orvelCommandIsCommand},  {"is_proc", orvelCommandIsProc},
    {"vars", orvelCommandVars},
};

}  // namespace

}  // namespace orvel
