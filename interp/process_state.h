// Process-wide switches and state shared by the interpreter's parts.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orvel {

struct ProcessState {
  // Switches of the `option` command.
  bool autoexec = true;
  bool escape = false;
  bool echo = true;
  bool verbose = false;
  bool expression = false;
  bool preprocessor = true;
  bool stacktrace = false;
  bool breakpoint = false;
  bool debug = false;      // the `debug` command
  bool ndebug = false;     // #define ndebug seen by the preprocessor
  // Evaluator and error reporter state.
  bool singleStep = false;
  bool traceLog = false;
  bool cgi = false;
  bool cgiHeaderSent = false;
  bool onErrorRunning = false;
  bool quietOnce = false;
  int callDepth = 0;
  int64_t lastExpandLine = 0;  // line of the last {*} the preprocessor saw
  int recursionLimit = 1000;
  int evalNestingLimit = 10000;  // nested evaluations before "Nesting too deep"
  int64_t commandLimit = 0;    // when above 0, evaluation fails after this many commands (fuzzing)
  int64_t location = 0;        // current location number for exception reports
  std::vector<std::string> callStack;  // recorded call stack (stacktrace on)
  std::string scriptName;      // current script name: last file loaded or sourced (#__FILE__)
};

// The one process state (constant-initialised, so usable at any time).
inline ProcessState g_processState;
inline ProcessState& ps() { return g_processState; }

}  // namespace orvel
