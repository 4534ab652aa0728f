// printf format ?arg ...?: formats as the format command does and writes
// the text to standard output (no line end is added); the result is empty.
#include "interp/interp.h"
#include "platform/console.h"

namespace orvel {

namespace {

int orvelCommandPrintf(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  Command* format = orvelGetCommand(in, "format");
  if (!format || !format->handler) return fail(in, "%s: The format command is missing", argv[0].c_str());
  Args words = argv;
  words[0] = argv[0];  // messages name printf
  int code = format->handler(in, words, format->pd);
  if (code != OK) return code;
  plat::writeOut(in.result);
  in.result.clear();
  return OK;
}

const CommandRegistrar reg[] = {{"printf", orvelCommandPrintf}};

}  // namespace

}  // namespace orvel
