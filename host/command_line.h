// The two passes over the command line: the host's own switches, then the
// checks every argument must pass.
#pragma once
#include "host/startup_config.h"

namespace hexbury {

// First pass: /debug, /echo, /config and /info (any case).
void scanHostSwitches(int argc, char** argv, StartupConfig& cfg);

enum class ArgumentCheck {
  Ok,
  EmbeddedQuote,      // an argument holds a double quote
  TooManyParameters,  // an eleventh bare word
  Help,               // "/?"
};

// Second pass, one argument at a time: a double quote, then a bare word
// (kept as a positional while there is room), then "/?". Stops at the
// first argument that is not Ok.
ArgumentCheck checkArguments(int argc, char** argv, StartupConfig& cfg);

}  // namespace hexbury
