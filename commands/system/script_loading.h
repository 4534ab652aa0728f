// State shared by source, load and run, and by the interactive command line.
#pragma once
#include <string>

namespace orvel {

// Set while run evaluates the loaded program (and while a source typed at
// the interactive command line runs); load and run refuse to work then.
bool& scriptRunningFlag();

}  // namespace orvel
