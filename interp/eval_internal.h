// Pieces of the evaluator shared between its source files.
#pragma once
#include <string>
#include <string_view>

#include "interp/interp.h"
#include "interp/tokenizer.h"

namespace orvel {

// Internal codes of the evaluator, never seen outside it.
constexpr int CONTINUE_WITH_NEXT = 100;
constexpr int RETURN_TOP = 101;

int evalText(Interp& in, std::string_view text, bool substituteOnly, bool keepVariables);
int dispatchCommand(Interp& in, Command* cmd, Args& words);
int runCommand(Interp& in, Args& words);

// $name substitution for the current PT_VAR token; OK or ERROR.
int substituteVariable(Interp& in, Parser& p, std::string_view name, bool keepVariables, std::string& out);
// The value of an array element reference $name(sub); 0 or 1.
int evalResolveArray(Interp& in, Parser& p, std::string_view name, std::string& out);
// The braced and indirect reference resolver: false when a variable is missing.
bool resolveReference(Interp& in, std::string_view text, std::string& out, std::string* missing);

void printRecordedStack(Interp& in);
// How many evaluations are running inside one another.
int evalNestingDepth();

}  // namespace orvel
