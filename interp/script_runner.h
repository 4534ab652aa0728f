// Running a whole script text the way `source` does.
#pragma once
#include <string>
#include <string_view>

#include "interp/interp.h"

namespace orvel {

// Runs a script text: the text preparation (preprocessor and radix pass,
// when available) and then evaluation at the current frame. A failed
// preparation returns ERROR after printing its diagnostics (exitCode, when
// given, receives the process exit code the preparation asked for).
int orvelRunScriptText(Interp& in, std::string_view text, int* exitCode = nullptr);

// The text preparation step; installed by the preprocessor. It returns
// false when the text must not run, with the exit code to use; rawCode
// receives the preprocessor's own result (> 0 prepared, 0 empty, < 0 a
// failure).
using ScriptPreparer = bool (*)(Interp& in, std::string& text, int& exitCode, int& rawCode);
void setScriptPreparer(ScriptPreparer p);

// The preparation step alone, as orvelRunScriptText applies it; returns the
// preprocessor's result (1 when no preparer is installed).
int orvelPrepareScriptText(Interp& in, std::string& text, bool* runnable = nullptr, int* exitCode = nullptr);

// A fresh interpreter set up as the orvel program does (argument list as
// for orvelSetStartupVars).
void orvelSetupInterp(Interp& in, const std::vector<std::string>* list);

// The process exit status after a top-level evaluation ended with code.
int exitStatusFor(Interp& in, int code);

}  // namespace orvel
