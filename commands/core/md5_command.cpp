// md5 text ?-upper?: the MD5 digest of the text as 32 hexadecimal digits,
// lower case (upper case with -upper). md5_file does the same for a file.
#include <cctype>

#include "interp/interp.h"
#include "support/md5.h"

namespace orvel {

namespace {

int orvelCommandMd5(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool upper = false;
  for (size_t i = 2; i < argv.size(); i++) {
    if (argv[i] == "-upper") upper = true;
    else return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), argv[i].c_str());
  }
  in.result = md5Hex(argv[1]);
  if (upper)
    for (char& c : in.result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return OK;
}

const CommandRegistrar reg[] = {{"md5", orvelCommandMd5}};

}  // namespace

}  // namespace orvel
