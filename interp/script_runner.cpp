#include "interp/script_runner.h"

#include "expr/numbers.h"

namespace orvel {

namespace {
ScriptPreparer g_preparer = nullptr;
}

void setScriptPreparer(ScriptPreparer p) { g_preparer = p; }

int orvelRunScriptText(Interp& in, std::string_view text, int* exitCode) {
  std::string prepared(text);
  if (g_preparer) {
    int code = 1;
    if (!g_preparer(in, prepared, code)) {
      if (exitCode) *exitCode = code;
      return ERROR;
    }
  }
  return orvelEval(in, prepared);
}

void orvelSetupInterp(Interp& in, const std::vector<std::string>* list) {
  orvelInitInterp(in);
  orvelRegisterCoreCommands(in, false);
  orvelSetStartupVars(in, list);
}

int exitStatusFor(Interp& in, int code) {
  if (code == EXIT) return in.result.empty() ? 0 : static_cast<int>(toInt64(in.result));
  if (code == ERROR || code == STOP) return 1;
  return 0;
}

}  // namespace orvel
