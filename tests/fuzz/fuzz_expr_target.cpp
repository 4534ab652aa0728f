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

namespace orvel_fuzz {

int fuzzExpr(const uint8_t* data, size_t size);

int fuzzExpr(const uint8_t* data, size_t size) {
  using namespace orvel;
  if (size > 4096) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  ps() = ProcessState();
  ps().escape = true;
  ps().autoexec = false;
  ps().commandLimit = 20000;
  ps().recursionLimit = 200;
  ps().evalNestingLimit = 400;
  std::string sink;
  plat::setCapture(&sink);
  {
    Interp in;
    std::vector<std::string> list{"orvel", "-c"};
    orvelSetupInterp(in, &list);
    // Command substitutions inside the expression may name any command;
    // those that would touch the machine or wait are removed.
    for (const char* name : {"exec", "@", "shell", "spawn", "pipe", "exit", "die", "sleep", "after", "vwait",
                             "waitkey", "getkey", "pause", "input", "gets", "cli", "unlink", "rmdir", "ren",
                             "movefile", "copyfile", "writefile", "open", "http", "lib", "md", "mkdir", "mkdirs",
                             "cd", "chdir", "setenv", "play_wav", "beep", "interp", "doevents", "file", "source",
                             "load", "run", "halt", "trace", "msgbox", "console", "inkey", "prompt", "elevate",
                             "timer", "time", "input_csv", "inputbox", "get_fileopen", "get_filesave",
                             "get_folder", "clipboard", "mktemp", "glob", "ls", "dumpmem", "memcpy", "memset",
                             "ofaddress", "ofaddressb", "setb", "malloc", "free"})
      orvelUnregisterCommand(in, name);
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
  }
  plat::setCapture(nullptr);
  return 0;
}

}  // namespace orvel_fuzz
