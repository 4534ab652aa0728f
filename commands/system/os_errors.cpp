// What the operating system says about the program: its last error number
// and message, the user's security identifier, and whether the program's
// console is the active window.
#include <string>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "platform/os_errors.h"

namespace orvel {

namespace {

// get_win_error: the last error number the system recorded for this
// thread, in decimal. It is read before anything else the command does.
int orvelCommandGetWinError(Interp& in, Args& argv, void*) {
  int64_t code = plat::lastOsError();
  if (argv.size() != 1) return wrongNumArgs(in, argv);
  in.result = std::to_string(code);
  return OK;
}

// win_error ?code?: the system's message for an error number (by default
// the last one recorded, as get_win_error answers it).
int orvelCommandWinError(Interp& in, Args& argv, void*) {
  int64_t code = plat::lastOsError();
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  if (argv.size() == 2) {
    if (numberKind(argv[1]) != kIntegerNumber) return fail(in, "%s: Invalid error number '%s'", argv[0].c_str(), argv[1].c_str());
    code = toInt64(argv[1]);
  }
  in.result = plat::osErrorText(code);
  return OK;
}

// getsid: the user's security identifier ("S-1-..."). Where the system has
// none, the user number in the form "S-1-22-1-uid".
int orvelCommandGetsid(Interp& in, Args& argv, void*) {
  if (argv.size() != 1) return wrongNumArgs(in, argv);
  std::string sid = plat::userSid();
  if (sid.empty()) return fail(in, "%s: The user's identifier is not available", argv[0].c_str());
  in.result = sid;
  return OK;
}

// is_active: 1 when the program's console window is the active one, else
// 0. A terminal that cannot tell counts as active; no terminal at all as not.
int orvelCommandIsActive(Interp& in, Args& argv, void*) {
  if (argv.size() != 1) return wrongNumArgs(in, argv);
  in.result = plat::consoleIsActive() ? "1" : "0";
  return OK;
}

const CommandRegistrar reg[] = {
    {"get_win_error", orvelCommandGetWinError},
    {"win_error", orvelCommandWinError},
    {"getsid", orvelCommandGetsid},
    {"is_active", orvelCommandIsActive},
};

}  // namespace

}  // namespace orvel
