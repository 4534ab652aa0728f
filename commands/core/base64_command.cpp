// base64 text ?-decode?: the text in Base64 (standard alphabet, "="
// padding), or with -decode the bytes a Base64 text stands for.
#include "interp/interp.h"
#include "support/base64.h"

namespace orvel {

namespace {

int orvelCommandBase64(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool decode = false;
  for (size_t i = 2; i < argv.size(); i++) {
    if (argv[i] == "-decode") decode = true;
    else if (argv[i] == "-encode") decode = false;
    else return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), argv[i].c_str());
  }
  if (!decode) {
    in.result = base64Encode(argv[1]);
    return OK;
  }
  std::string out;
  if (!argv[1].empty() && !base64Decode(argv[1], out)) {
    in.result.clear();
    return fail(in, "%s: Invalid Base64 text", argv[0].c_str());
  }
  in.result = std::move(out);
  return OK;
}

const CommandRegistrar reg[] = {{"base64", orvelCommandBase64}};

}  // namespace

}  // namespace orvel
