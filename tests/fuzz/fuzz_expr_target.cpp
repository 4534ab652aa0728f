// Fuzz target "expr": arbitrary text through the bracketing pass, the infix
// evaluator and the decomposer (with and without constant folding).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "expr/expression.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "platform/console.h"
#include "tests/fuzz/fuzz_targets.h"

namespace orvel_fuzz {

int fuzzExpr(const uint8_t* data, size_t size) {
  using namespace orvel;
  if (size > 4096) return 0;
  withFuzzInterpreter(
      [](Interp& in, const std::string& text) {
        set_var(in, "x", "5");
        set_var(in, "s", "a b");

        std::string value;
        evaluate_subexpression(in, text, value);

        std::string bracketed = text;
        if (bracket_operators(bracketed) == 0) {
          value.clear();
          evaluate_subexpression(in, bracketed, value);
          for (bool folding : {false, true}) {
            decomposeFolding() = folding;
            std::string prefix;
            if (DecomposeExpression(in, bracketed, prefix) == 0 && !prefix.empty()) orvelEval(in, prefix);
          }
          decomposeFolding() = true;
        }
      },
      std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}

}  // namespace orvel_fuzz
