// Who and where the program runs: username, hostname, is_elevated, is_admin.
#include "expr/numbers.h"
#include "interp/interp.h"
#include "platform/files.h"
#include "platform/system.h"

namespace orvel {

namespace {

int orvelCommandUsername(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  in.result = plat::userName();
  return OK;
}

// hostname ?field?: the host name; the network-adapter fields that `info`
// hands on are answered where the system layer knows them.
int orvelCommandHostname(Interp& in, Args& argv, void*) {
  if (argv.size() > 3) return wrongNumArgs(in, argv);
  std::string field = argv.size() > 1 ? argv[1] : std::string("hostname");
  if (field == "hostname") {
    in.result = plat::hostName();
    return OK;
  }
  if (field == "adapter_count") {
    in.result = intText(plat::networkAdapterCount());
    return OK;
  }
  in.result.clear();
  return OK;
}

int orvelCommandIsElevated(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  bool yes = argv[0] == "is_admin" ? plat::isAdmin() : plat::isElevated();
  in.result = yes ? "1" : "0";
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"username", orvelCommandUsername},
    {"hostname", orvelCommandHostname},
    {"is_elevated", orvelCommandIsElevated},
    {"is_admin", orvelCommandIsElevated},
};

}  // namespace

}  // namespace orvel
