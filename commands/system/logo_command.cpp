// logo ?-text?: the interpreter's banner, "Orvel <version> (<build date>)",
// from the start-up variables tcl_version and tcl_date, printed with a line
// end; with -text it is the result instead and nothing is printed.
#include "interp/interp.h"
#include "platform/console.h"

namespace orvel {

namespace {

std::string globalValue(Interp& in, const char* name) {
  std::string value;
  Var* v = orvelGetVar(in, std::string("::") + name);
  if (!v || !readVarValue(in, v, value) || value.empty()) return "?";
  return value;
}

int orvelCommandLogo(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  if (argv.size() == 2 && argv[1] != "-text")
    return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), argv[1].c_str());
  std::string banner = "Orvel " + globalValue(in, "tcl_version") + " (" + globalValue(in, "tcl_date") + ")";
  if (argv.size() == 2) {
    in.result = std::move(banner);
    return OK;
  }
  plat::writeOut(banner + "\r\n");
  in.result.clear();
  return OK;
}

const CommandRegistrar reg[] = {{"logo", orvelCommandLogo}};

}  // namespace

}  // namespace orvel
