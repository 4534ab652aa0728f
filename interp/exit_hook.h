// What happens when a script ends the process from a place where its EXIT
// code cannot travel back to the program (the on_error handler calls die or
// exit). A program that must tidy up before it ends (the Hexbury program
// switches its relay board off) installs a hook; the hook does not return.
// Without a hook the code is dropped, as before.
#pragma once
#include "interp/interp.h"

namespace orvel {

using ExitHook = void (*)(Interp& in);
void setExitHook(ExitHook hook);

// Called with the interpreter whose script asked to end (its result holds
// the exit value).
void orvelExitRequested(Interp& in);

}  // namespace orvel
