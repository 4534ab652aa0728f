// lsort: sorts a list (or the value of the variable the word names).
#include "commands/core/list_common.h"
#include "interp/interp.h"
#include "interp/list_text.h"

namespace orvel {

namespace {

int orvelCommandLsort(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool decreasing = false, nocase = false;
  lists::SortKind kind = lists::SortKind::Text;
  for (size_t i = 2; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-descending" || w == "-decreasing") decreasing = true;
    else if (w == "-increasing" || w == "-ascending") decreasing = false;
    else if (w == "-nocase") nocase = true;
    else if (w == "-integer") kind = lists::SortKind::Integer;
    else if (w == "-real") kind = lists::SortKind::Real;
    else {
      in.result.clear();
      return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), w.c_str());
    }
  }
  std::string text = argv[1];
  if (Var* v = orvelGetVar(in, argv[1])) readVarValue(in, v, text);
  std::vector<std::string> items;
  TclTokenised3(text, items);
  lists::sortElements(items, kind, nocase, decreasing);
  in.result = listBuild(items);
  return OK;
}

const CommandRegistrar kRegs[] = {{"lsort", orvelCommandLsort}};

}  // namespace
}  // namespace orvel
