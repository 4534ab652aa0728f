// The clipboard command: text to and from the clipboard.
#include <string>

#include "interp/interp.h"
#include "platform/clipboard.h"

namespace orvel {

namespace {

// clipboard ?get? | clipboard set text | clipboard clear | clipboard shared:
// get answers the clipboard's text (empty when it holds none), set stores
// a text and answers its length, clear empties it and answers 1, shared
// answers 1 when the clipboard is the system's, 0 when it lives only in
// this process.
int orvelCommandClipboard(Interp& in, Args& argv, void*) {
  if (argv.size() > 3) return wrongNumArgs(in, argv);
  std::string sub = argv.size() >= 2 ? argv[1] : std::string("get");
  std::string err;
  if (equalsNoCase(sub, "get") || equalsNoCase(sub, "shared") || equalsNoCase(sub, "clear")) {
    if (argv.size() != 2 && !(argv.size() == 1 && equalsNoCase(sub, "get"))) return wrongNumArgs(in, argv);
  }
  if (equalsNoCase(sub, "get")) {
    std::string text;
    if (!plat::clipboardRead(text, err)) return fail(in, "%s: Cannot read the clipboard (%s)", argv[0].c_str(), err.c_str());
    in.result = text;
    return OK;
  }
  if (equalsNoCase(sub, "set")) {
    if (argv.size() != 3) return wrongNumArgs(in, argv);
    if (!plat::clipboardWrite(argv[2], err))
      return fail(in, "%s: Cannot write the clipboard (%s)", argv[0].c_str(), err.c_str());
    in.result = std::to_string(argv[2].size());
    return OK;
  }
  if (equalsNoCase(sub, "clear")) {
    if (!plat::clipboardClear(err)) return fail(in, "%s: Cannot clear the clipboard (%s)", argv[0].c_str(), err.c_str());
    in.result = "1";
    return OK;
  }
  if (equalsNoCase(sub, "shared")) {
    in.result = plat::clipboardIsShared() ? "1" : "0";
    return OK;
  }
  return fail(in, "%s: Unknown subcommand '%s' (use get, set, clear or shared)", argv[0].c_str(), sub.c_str());
}

const CommandRegistrar reg[] = {
    {"clipboard", orvelCommandClipboard},
};

}  // namespace

}  // namespace orvel
