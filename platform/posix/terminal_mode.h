// Switching the controlling terminal between line input (the state the
// program found) and key input (non-canonical, no echo). The original
// settings come back at exit and when a fatal signal ends the program.
#pragma once

namespace plat::terminal {

void enterKeyMode();  // no-op when standard input is not a terminal
void leaveKeyMode();  // back to the settings the program started with
bool inKeyMode();

}  // namespace plat::terminal
