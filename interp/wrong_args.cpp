// The shared argument-count failure.
#include "interp/interp.h"
#include "platform/console.h"

namespace orvel {

int wrongNumArgs(Interp& in, Args& argv) {
  if (!argv.empty() && (argv.back() == "/?" || argv.back() == "--help")) {
    if (Command* help = orvelGetCommand(in, "help")) {
      Args w{"help", argv[0]};
      auto keep = help->owner;
      return help->handler(in, w, help->pd);
    }
  }
  std::string out = strprintf("Wrong number of args (%i) for '%.50s' in %s\r\n\r\n", static_cast<int>(argv.size()),
                              argv.empty() ? "" : argv[0].c_str(), procNameOf(in));
  out += "Arg\tValue\r\n";
  for (size_t i = 0; i < argv.size(); i++) {
    if (argv[i].size() >= 30)
      out += strprintf("%li:\t%-.50s...\r\n", static_cast<long>(i), argv[i].c_str());
    else
      out += strprintf("%li:\t%-.50s\r\n", static_cast<long>(i), argv[i].c_str());
  }
  out += strprintf("\r\nArguments may need enclosing [] {} or \"\". Try: help %s\r\n",
                   argv.empty() ? "" : argv[0].c_str());
  plat::writeOut(out);
  setGlobalVar(in, "errorCode", "6");
  setGlobalVar(in, "errorMsg", "Wrong number of arguments");
  return STOP;
}

}  // namespace orvel
