// The precision command: the number of decimals a number text shows, up to
// its last non-zero digit.
#include <string>

#include "expr/expression_text.h"
#include "interp/interp.h"

namespace orvel {

namespace {

int orvelCommandPrecision(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  std::string_view v = argv[1];
  while (!v.empty() && isBlankOrTab(v.back())) v.remove_suffix(1);
  long long digits = 0;
  size_t point = v.find('.');
  if (point != std::string_view::npos) {
    long long count = 0;
    for (size_t i = point + 1; i < v.size() && isAsciiDigit(v[i]); i++) {
      count++;
      if (v[i] != '0') digits = count;
    }
  }
  in.result = std::to_string(digits);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"precision", orvelCommandPrecision},
};

}  // namespace
}  // namespace orvel
