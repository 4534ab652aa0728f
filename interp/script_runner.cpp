#include "interp/script_runner.h"

#include "expr/numbers.h"

namespace orvel {

namespace {
ScriptPreparer g_preparer = nullptr;
}

void setScriptPreparer(ScriptPreparer p) { g_preparer = p; }

int orvelPrepareScriptText(Interp& in, std::string& text, bool* runnable, int* exitCode) {
  int code = 1, raw = 1;
  bool ok = true;
  if (g_preparer) ok = g_preparer(in, text, code, raw);
  if (runnable) *runnable = ok;
  if (!ok && exitCode) *exitCode = code;
  return raw;
}

int orvelRunScriptText(Interp& in, std::string_view text, int* exitCode) {
  std::string prepared(text);
  bool runnable = true;
  orvelPrepareScriptText(in, prepared, &runnable, exitCode);
  if (!runnable) return ERROR;
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
