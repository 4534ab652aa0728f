#pragma once

namespace orvel {

// Result codes returned by every command handler and by orvelEval.
enum Code : int {
  OK = 0,
  ERROR = 1,
  RETURN = 2,
  BREAK = 3,
  CONTINUE = 4,
  EXIT = 5,
  STOP = 6,
  GOTO = 7,
  DEFINED = 8,
};

// "ok", "error", ... for 0..8, nullptr otherwise.
const char* codeNameOf(int code);

}  // namespace orvel
