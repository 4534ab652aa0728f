// The ternary command: ? condition then else   (or  ? condition then : else)
#include "expr/expression.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/process_state.h"

namespace orvel {
namespace {

int orvelCommandTernary(Interp& in, Args& argv, void*) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  int code;
  if (ps().expression) {
    std::string value;
    code = evaluate_subexpression(in, argv[1], value);
    in.result = std::move(value);
  } else {
    in.result.clear();
    code = orvelEval(in, argv[1]);
  }
  if (code != OK) return code;
  if (in.result.empty()) return OK;
  const std::string* branch;
  if (textToDouble(in.result) != 0.0) branch = &argv[2];
  else if (argv.size() > 4 && argv[3] == ":") branch = &argv[4];
  else branch = &argv[3];
  return orvelEval(in, *branch);
}

const CommandRegistrar kRegs[] = {
    {"?", orvelCommandTernary},
};

}  // namespace
}  // namespace orvel
