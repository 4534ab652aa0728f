// A list variable used as a stack: lpush appends elements, lpop removes and
// returns the last one, lpeek returns the last one, ltail returns the first
// one (the bottom of the stack).
#include <string>
#include <vector>

#include "interp/interp.h"
#include "interp/list_text.h"

namespace orvel {

namespace {

int orvelCommandLpush(Interp& in, Args& argv, void*) {
  const std::string& name = argv[0];
  bool push = name == "lpush";
  if (push ? argv.size() < 3 : argv.size() != 2) return wrongNumArgs(in, argv);
  Var* v = orvelGetVar(in, argv[1]);
  std::string value;
  if (v && !readVarValue(in, v, value)) value = v->value;
  if (!v && !push) return fail(in, "%s: Variable '%s' not found", name.c_str(), argv[1].c_str());
  std::vector<std::string> items;
  TclTokenised3(value, items);
  if (push) {
    for (size_t i = 2; i < argv.size(); i++) items.push_back(argv[i]);
    if (setVariable(in, argv[1], &(value = listBuild(items)), true) != OK) return ERROR;
    in.result = std::to_string(items.size());
    return OK;
  }
  if (items.empty()) return fail(in, "%s: List '%s' is empty", name.c_str(), argv[1].c_str());
  if (name == "ltail") {
    in.result = items.front();
    return OK;
  }
  std::string last = items.back();
  if (name == "lpop") {
    items.pop_back();
    value = listBuild(items);
    if (setVariable(in, argv[1], &value, true) != OK) return ERROR;
  }
  in.result = std::move(last);
  return OK;
}

const CommandRegistrar reg[] = {
    {"lpush", orvelCommandLpush}, {"lpop", orvelCommandLpush}, {"lpeek", orvelCommandLpush},
    {"ltail", orvelCommandLpush},
};

}  // namespace

}  // namespace orvel
