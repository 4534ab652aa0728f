// The number conversion commands: ceil atof ftoa
#include <cmath>

#include "expr/numbers.h"
#include "interp/interp.h"

namespace orvel {
namespace {

int orvelCommandCeil(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  assignInt(in.result, truncToInt64(std::ceil(textToDouble(argv[1]))));
  return OK;
}

int orvelCommandAtof(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  assignReal(in.result, textToDouble(argv[1]));
  return OK;
}

int orvelCommandFtoa(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  assignExp(in.result, textToDouble(argv[1]));
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"ceil", orvelCommandCeil},
    {"atof", orvelCommandAtof},
    {"ftoa", orvelCommandFtoa},
};

}  // namespace
}  // namespace orvel
