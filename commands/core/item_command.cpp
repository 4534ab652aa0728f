// item name key ?default? ?-nocase? ?-nocomplain?: one item of a variable,
// whatever holds it:
//   an array        the element `key` (as array item)
//   a stack         the string at index `key` from the bottom, `end` the top
//                   (as stack item)
//   a struct        the member `key` (as struct item name.key)
//   any other value the list element at 0-based index `key` (a number,
//                   `end` or `end-N`); any other key is looked up as a key of
//                   the value read as a dictionary (key value pairs)
// A missing element, string, key or index gives `default` (or the empty
// string); a missing struct member is an error, as with struct item. A
// missing variable is an error unless -nocomplain is given, when the result
// is the default.
#include "commands/core/binary_engine.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/list_text.h"

namespace orvel {

namespace {

int handOn(Interp& in, const char* command, Args& words) {
  Command* c = orvelGetCommand(in, command);
  if (!c) return fail(in, "item: The %s command is not available", command);
  auto keep = c->owner;
  return c->handler(in, words, c->pd);
}

// A list index: a number, `end` or `end-N`; false for other texts.
bool listIndex(std::string_view key, int64_t count, int64_t& out) {
  if (key.compare(0, 3, "end") == 0) {
    int64_t back = 0;
    if (key.size() > 3) {
      if (key[3] != '-' || !binary::strictInteger(key.substr(4), back) || back < 0) return false;
    }
    out = count - 1 - back;
    return true;
  }
  return binary::strictInteger(key, out);
}

int orvelCommandItem(Interp& in, Args& argv, void*) {
  bool nocase = false, nocomplain = false;
  std::vector<const std::string*> pos;
  for (size_t i = 1; i < argv.size(); i++) {
    if (argv[i] == "-nocase")
      nocase = true;
    else if (argv[i] == "-nocomplain")
      nocomplain = true;
    else
      pos.push_back(&argv[i]);
  }
  if (pos.size() < 2 || pos.size() > 3) return wrongNumArgs(in, argv);
  const std::string& name = *pos[0];
  const std::string& key = *pos[1];
  const std::string fallback = pos.size() == 3 ? *pos[2] : std::string();
  in.result.clear();
  Var* v = orvelGetVar(in, name);
  while (v && v->link) v = v->link.get();
  if (!v) {
    if (!nocomplain) return fail(in, "%s: Variable '%s' not found", argv[0].c_str(), name.c_str());
    in.result = fallback;
    return OK;
  }
  if (v->kind == VK_ARRAY || (v->table && v->kind != VK_DICT)) {
    Args words{"array", "item", name, key};
    if (pos.size() == 3) words.push_back(fallback);
    if (nocase) words.push_back("-nocase");
    return handOn(in, "array", words);
  }
  if (v->kind == VK_STACK) {
    Args words{"stack", "item", name, key == "end" ? std::string("0") : key};
    if (pos.size() == 3) words.push_back(fallback);
    if (key == "end") words.push_back("-end");
    return handOn(in, "stack", words);
  }
  if (v->kind == VK_STRUCT) {
    Args words{"struct", "item", name + "." + key};
    return handOn(in, "struct", words);
  }
  std::string value;
  if (!readVarValue(in, v, value)) return fail(in, "%s: Can't read variable '%s'", argv[0].c_str(), name.c_str());
  std::vector<std::string> items;
  TclTokenised3(value, items);
  in.result = fallback;
  int64_t index = 0;
  const bool isIndex = v->kind != VK_DICT && listIndex(key, static_cast<int64_t>(items.size()), index);
  if (!isIndex) {
    if (items.size() % 2) {
      in.result.clear();
      return fail(in, "%s: '%s' is not an index and '%s' holds no dictionary", argv[0].c_str(), key.c_str(),
                  name.c_str());
    }
    for (size_t i = 0; i + 1 < items.size(); i += 2)  // a later key replaces an earlier one
      if (items[i] == key || (nocase && equalsNoCase(items[i], key))) in.result = items[i + 1];
    return OK;
  }
  if (index >= 0 && index < static_cast<int64_t>(items.size())) in.result = items[static_cast<size_t>(index)];
  return OK;
}

const CommandRegistrar reg[] = {{"item", orvelCommandItem}};

}  // namespace

}  // namespace orvel
