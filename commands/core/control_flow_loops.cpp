// The loop commands: while, for, foreach, loop, floop and do, with break
// and continue.
//
// Bodies and conditions are taken by reference from the command's words,
// which the evaluator keeps alive for the whole call, so no pass copies
// them. Codes: OK and CONTINUE go on with the next pass, BREAK ends the loop
// with OK, anything else leaves the loop with that code (do differs, see
// there).
#include <vector>

#include "commands/core/control_flow_conditions.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "interp/process_state.h"
#include "platform/console.h"

namespace orvel {

namespace {

// Under a command budget (fuzzing) every pass counts as a command, so that
// loops whose passes run no command (an empty body, a bare number as the
// condition) end too. Without a budget nothing is counted.
class PassBudget {
 public:
  PassBudget() : limit_(ps().commandLimit) {}
  bool spent(Interp& in) const { return limit_ > 0 && ++in.commandCounter > limit_; }

 private:
  int64_t limit_;
};

// What a loop does after its body returned code.
enum class Next { Go, Leave };
inline Next afterBody(int& code) {
  if (code == OK || code == CONTINUE) return Next::Go;
  if (code == BREAK) code = OK;
  return Next::Leave;
}

int orvelCommandWhile(Interp& in, Args& argv, void*) {
  if (argv.size() != 3) return wrongNumArgs(in, argv);
  const std::string& cond = argv[1];
  const std::string& body = argv[2];
  Condition c;
  PassBudget budget;
  PreparedScript bodyScript(body);
  for (;;) {
    if (budget.spent(in)) return ERROR;
    int code = c.evaluate(in, cond);
    // A failing condition ends the loop with its code, in both modes.
    if (code == ERROR || code == EXIT || code == STOP) return code;
    if (c.expressionMode()) {
      if (in.substCode == ERROR) return OK;
      // An expression without a value lets the body run.
      const std::string& v = c.value(in);
      if (!v.empty() && !truthInteger(v)) return OK;
    } else if (!truthNotZeroText(in.result)) {
      return OK;
    }
    code = bodyScript.eval(in, true);
    if (afterBody(code) == Next::Leave) return code;
  }
}

// The condition is tested before every pass, the first included.
int orvelCommandFor(Interp& in, Args& argv, void*) {
  if (argv.size() != 5) return wrongNumArgs(in, argv);
  const std::string& init = argv[1];
  std::string_view cond = argv[2].empty() ? std::string_view("1") : std::string_view(argv[2]);
  const std::string& next = argv[3];
  const std::string& body = argv[4];
  if (orvelEval(in, init) != OK) return fail(in, "for: Failed to initialise for {%s}", init.c_str());
  Condition c;
  PassBudget budget;
  PreparedScript bodyScript(body);
  PreparedScript nextScript(next);
  for (;;) {
    if (budget.spent(in)) return ERROR;
    int code = c.evaluate(in, cond);
    if (code != OK) return code;
    if (!truthInteger(c.value(in))) return OK;
    code = bodyScript.eval(in, true);
    if (afterBody(code) == Next::Leave) return code;
    if (nextScript.eval(in) != OK) return fail(in, "for: Error processing arg 3 (%s)", next.c_str());
  }
}

// foreach names values ?names values ...? body ?-tail?
// Every pair runs until its values are used up; the loop makes as many
// passes as its longest pair needs, and a pair whose values are used up
// sets its names to the empty string.
int orvelCommandForeach(Interp& in, Args& argv, void*) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  size_t bodyIndex = argv.size() - 1;
  if (argv[bodyIndex] == "-tail") bodyIndex--;  // accepted and ignored
  size_t count = bodyIndex - 1;
  if (count % 2) {
    plat::writeOut(strprintf("%s requires matching pairs of lvalue and rvalue (%i found)\r\n", argv[0].c_str(),
                             static_cast<int>(count)));
    return ERROR;
  }
  struct Pair {
    std::vector<std::string> names, values;
    std::vector<VarLookupCache> lookups;
    size_t cursor = 0;
  };
  std::vector<Pair> pairs(count / 2);
  size_t passes = 0;
  for (size_t p = 0; p < pairs.size(); p++) {
    Pair& pair = pairs[p];
    TclTokenised3(argv[1 + 2 * p], pair.names);
    TclTokenised3(argv[2 + 2 * p], pair.values);
    if (pair.names.empty())
      return fail(in, "%s: Empty variable list (arg %i)", argv[0].c_str(), static_cast<int>(1 + 2 * p));
    pair.lookups.resize(pair.names.size());
    size_t need = (pair.values.size() + pair.names.size() - 1) / pair.names.size();
    if (need > passes) passes = need;
  }
  const std::string& body = argv[bodyIndex];
  static const std::string kEmpty;
  PassBudget budget;
  PreparedScript bodyScript(body);
  for (size_t pass = 0; pass < passes; pass++) {
    if (budget.spent(in)) return ERROR;
    for (Pair& pair : pairs) {
      for (size_t k = 0; k < pair.names.size(); k++) {
        const std::string& v = pair.cursor < pair.values.size() ? pair.values[pair.cursor] : kEmpty;
        pair.cursor++;
        if (setVariableRemembered(in, pair.names[k], v, pair.lookups[k]) != OK) return ERROR;
      }
    }
    int code = bodyScript.eval(in, pass + 1 < passes);
    if (afterBody(code) == Next::Leave) return code;
  }
  return OK;
}

// loop count ?step? body: a hidden counter from 0 towards count.
int loopCounting(Interp& in, Args& argv) {
  const size_t argc = argv.size();
  const int64_t count = readDecimalInt64(argv[1]);
  const int64_t step = argc == 4 ? readDecimalInt64(argv[2]) : 1;
  const std::string& body = argv[argc - 1];
  const bool up = step > 0;
  int64_t counter = 0;
  PassBudget budget;
  PreparedScript bodyScript(body);
  while (up ? counter < count : counter > count) {
    if (budget.spent(in)) return ERROR;
    int code = bodyScript.eval(in);
    if (afterBody(code) == Next::Leave) return code;
    if (__builtin_add_overflow(counter, step, &counter)) return OK;
  }
  return OK;
}

// loop var from to ?step? body: the end value itself is never run; the
// body may move the loop by changing the variable.
int orvelCommandLoop(Interp& in, Args& argv, void*) {
  const size_t argc = argv.size();
  if (argc < 3) return wrongNumArgs(in, argv);
  if (argc <= 4) return loopCounting(in, argv);
  const std::string& var = argv[1];
  const int64_t from = readDecimalInt64(argv[2]);
  const int64_t to = readDecimalInt64(argv[3]);
  const bool stepGiven = argc >= 6;
  int64_t step = stepGiven ? readDecimalInt64(argv[4]) : 1;
  const std::string& body = argv[stepGiven ? 5 : 4];
  if (stepGiven && step == 0) return fail(in, "%s: Invalid zero increment", argv[0].c_str());
  if (from > to) {
    if (stepGiven && step > 0)
      return fail(in, "%s: Invalid decrement %lld", argv[0].c_str(), static_cast<long long>(step));
    if (!stepGiven) step = -1;
  }
  const bool up = step > 0;
  int64_t counter = from;
  std::string text;
  PassBudget budget;
  PreparedScript bodyScript(body);
  for (;;) {
    if (budget.spent(in)) return ERROR;
    text = intText(counter);
    if (setVariable(in, var, &text, true) != OK) return ERROR;
    if (up ? counter >= to : counter <= to) return OK;
    int code = bodyScript.eval(in);
    if (readVariableQuietly(in, var, text)) counter = readDecimalInt64(text);
    if (afterBody(code) == Next::Leave) return code;
    if (__builtin_add_overflow(counter, step, &counter)) return OK;
  }
}

// floop var from to ?step? body: real counting; from above to always
// counts down by 1.
int orvelCommandFloop(Interp& in, Args& argv, void*) {
  const size_t argc = argv.size();
  if (argc < 5) return wrongNumArgs(in, argv);
  const std::string& var = argv[1];
  const double from = readDecimalReal(argv[2]);
  const double to = readDecimalReal(argv[3]);
  const bool stepGiven = argc >= 6;
  double step = stepGiven ? readDecimalReal(argv[4]) : 1.0;
  const std::string& body = argv[stepGiven ? 5 : 4];
  if (stepGiven && step == 0.0) return fail(in, "%s: Invalid zero increment", argv[0].c_str());
  if (from > to) step = -1.0;
  const bool up = step > 0.0;
  double value = from;
  std::string text;
  PassBudget budget;
  PreparedScript bodyScript(body);
  for (;;) {
    if (budget.spent(in)) return ERROR;
    text = strprintf("%.15f", value);
    if (setVariable(in, var, &text, true) != OK) return ERROR;
    if (up ? value >= to : value <= to) return OK;
    int code = bodyScript.eval(in);
    if (readVariableQuietly(in, var, text)) value = readDecimalReal(text);
    if (afterBody(code) == Next::Leave) return code;
    double next = value + step;
    if (next == value) return OK;  // the step is lost in the value: no progress is possible
    value = next;
  }
}

// do body ?while|until? cond, do while|until cond body. The body runs
// before the condition is first tested. BREAK and GOTO from the body end
// the loop with OK; CONTINUE goes on to the condition test.
int orvelCommandDo(Interp& in, Args& argv, void*) {
  const size_t argc = argv.size();
  if (argc < 3) return wrongNumArgs(in, argv);
  const std::string* body = &argv[1];
  const std::string* cond = &argv[2];
  bool until = false;
  if (argc == 4) {
    if (equalsNoCase(argv[1], "while") || equalsNoCase(argv[1], "until")) {
      until = equalsNoCase(argv[1], "until");
      body = &argv[3];
      cond = &argv[2];
    } else {
      cond = &argv[3];
      until = argv[2] == "until";
    }
  }
  Condition c;
  PassBudget budget;
  PreparedScript bodyScript(*body);
  for (;;) {
    if (budget.spent(in)) return ERROR;
    int code = bodyScript.eval(in, true);
    if (code == BREAK || code == GOTO) return OK;
    if (code != OK && code != CONTINUE) return code;
    code = c.evaluate(in, *cond);
    if (code == ERROR || code == EXIT || code == STOP) {
      in.result = "0";
      return code;
    }
    bool truth = truthInteger(c.value(in));
    if (until ? truth : !truth) {
      in.result = "1";
      return OK;
    }
    if (code == RETURN || code == BREAK || code == GOTO) {
      if (c.expressionMode()) in.result = c.value(in);
      return OK;
    }
  }
}

int orvelCommandBreak(Interp& in, Args& argv, void*) {
  if (argv.size() != 1) return wrongNumArgs(in, argv);
  return BREAK;
}

int orvelCommandContinue(Interp& in, Args& argv, void*) {
  if (argv.size() != 1) return wrongNumArgs(in, argv);
  return CONTINUE;
}

}  // namespace

const CommandRegistrar kRegs[] = {
    {"while", orvelCommandWhile}, {"for", orvelCommandFor},     {"foreach", orvelCommandForeach},
    {"loop", orvelCommandLoop},   {"floop", orvelCommandFloop}, {"do", orvelCommandDo},
    {"break", orvelCommandBreak}, {"continue", orvelCommandContinue},
};

}  // namespace orvel
