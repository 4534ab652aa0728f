// The dict command: dictionaries as lists of key and value pairs, with the
// subcommands: create, get, set, unset, exists, keys,
// values, size, remove, replace, merge, append, lappend, incr and for.
// Subcommand words are matched without regard to case; keys keep their
// first position when they are set again.
#include <string>
#include <utility>
#include <vector>

#include "commands/core/list_common.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "interp/struct_access.h"
#include "support/hash_table.h"
#include "support/wildcard.h"

namespace orvel {

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// Splits a dictionary text; false for an odd number of elements.
bool parseDict(std::string_view text, Pairs& out) {
  std::vector<std::string> items;
  TclTokenised3(text, items);
  if (items.size() % 2) return false;
  out.clear();
  for (size_t i = 0; i < items.size(); i += 2) {
    bool replaced = false;
    for (auto& p : out)
      if (p.first == items[i]) {
        p.second = std::move(items[i + 1]);
        replaced = true;
        break;
      }
    if (!replaced) out.emplace_back(std::move(items[i]), std::move(items[i + 1]));
  }
  return true;
}

std::string buildDict(const Pairs& d) {
  std::string out;
  for (auto& [k, v] : d) {
    listAppendElement(out, k);
    listAppendElement(out, v);
  }
  return out;
}

std::string* findKey(Pairs& d, std::string_view key) {
  for (auto& p : d)
    if (p.first == key) return &p.second;
  return nullptr;
}

void putKey(Pairs& d, const std::string& key, std::string value) {
  if (std::string* v = findKey(d, key)) *v = std::move(value);
  else d.emplace_back(key, std::move(value));
}

struct DictCall {
  Interp& in;
  Args& argv;
  const char* cmd() const { return argv[0].c_str(); }
  int badDict(const std::string& text) { return fail(in, "%s: Missing value to go with key in '%s'", cmd(), text.substr(0, 64).c_str()); }
  int noKey(const std::string& key) { return fail(in, "%s: Key '%s' not known in dictionary", cmd(), key.c_str()); }

  // Reads the dictionary held by a variable (a missing variable is empty).
  bool readVar(const std::string& name, Pairs& d) {
    Var* v = orvelGetVar(in, name);
    std::string text;
    if (v && !readVarValue(in, v, text)) text = v->value;
    if (!parseDict(text, d)) {
      badDict(text);
      return false;
    }
    return true;
  }
  // A dictionary variable keeps its entries in its table; any other
  // variable holds the dictionary's text.
  int writeVar(const std::string& name, const Pairs& d) {
    std::string text = buildDict(d);
    Var* v = varTarget(orvelGetVar(in, name));
    if (v && v->kind == VK_DICT && v->table) {
      v->table->clear();
      for (auto& [k, val] : d) v->table->set(k, val);
      in.result = std::move(text);
      return OK;
    }
    if (setVariable(in, name, &text, true) != OK) return ERROR;
    in.result = std::move(text);
    return OK;
  }
};

int orvelCommandDict(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  DictCall call{in, argv};
  const std::string& sub = argv[1];
  auto is = [&](const char* name) { return equalsNoCase(sub, name); };
  size_t n = argv.size();
  Pairs d;

  if (is("create")) {
    if (n % 2) return fail(in, "%s: Missing value to go with key", argv[0].c_str());
    for (size_t i = 2; i < n; i += 2) putKey(d, argv[i], argv[i + 1]);
    in.result = buildDict(d);
    in.resultKind = VK_DICT;  // set stores it as a dictionary
    return OK;
  }
  if (is("get") || is("exists")) {
    if (n < 3) return wrongNumArgs(in, argv);
    std::string text = argv[2];
    for (size_t i = 3; i < n; i++) {
      if (!parseDict(text, d)) return is("exists") ? (in.result = "0", OK) : call.badDict(text);
      std::string* v = findKey(d, argv[i]);
      if (!v) {
        if (is("exists")) {
          in.result = "0";
          return OK;
        }
        return call.noKey(argv[i]);
      }
      text = *v;
    }
    if (is("exists")) in.result = "1";
    else in.result = std::move(text);
    return OK;
  }
  if (is("keys") || is("values")) {
    if (n < 3 || n > 4) return wrongNumArgs(in, argv);
    if (!parseDict(argv[2], d)) return call.badDict(argv[2]);
    std::string out;
    for (auto& [k, v] : d) {
      const std::string& item = is("keys") ? k : v;
      if (n == 4 && !wildMatch(argv[3], item)) continue;
      listAppendElement(out, item);
    }
    in.result = std::move(out);
    return OK;
  }
  if (is("size")) {
    if (n != 3) return wrongNumArgs(in, argv);
    if (!parseDict(argv[2], d)) return call.badDict(argv[2]);
    in.result = std::to_string(d.size());
    return OK;
  }
  if (is("remove") || is("replace")) {
    if (n < 3) return wrongNumArgs(in, argv);
    if (!parseDict(argv[2], d)) return call.badDict(argv[2]);
    if (is("remove")) {
      for (size_t i = 3; i < n; i++)
        for (size_t j = 0; j < d.size(); j++)
          if (d[j].first == argv[i]) {
            d.erase(d.begin() + static_cast<std::ptrdiff_t>(j));
            break;
          }
    } else {
      if ((n - 3) % 2) return fail(in, "%s: Missing value to go with key", argv[0].c_str());
      for (size_t i = 3; i < n; i += 2) putKey(d, argv[i], argv[i + 1]);
    }
    in.result = buildDict(d);
    in.resultKind = VK_DICT;  // set stores it as a dictionary
    return OK;
  }
  if (is("merge")) {
    Pairs part;
    for (size_t i = 2; i < n; i++) {
      if (!parseDict(argv[i], part)) return call.badDict(argv[i]);
      for (auto& [k, v] : part) putKey(d, k, v);
    }
    in.result = buildDict(d);
    in.resultKind = VK_DICT;  // set stores it as a dictionary
    return OK;
  }
  if (is("set")) {
    if (n < 5) return wrongNumArgs(in, argv);
    if (!call.readVar(argv[2], d)) return ERROR;
    // Nested keys: each level is a dictionary of its own.
    std::vector<Pairs> levels{d};
    for (size_t i = 3; i + 2 < n; i++) {
      std::string* v = findKey(levels.back(), argv[i]);
      Pairs inner;
      if (v && !parseDict(*v, inner)) return call.badDict(*v);
      levels.push_back(std::move(inner));
    }
    std::string value = argv[n - 1];
    for (size_t i = n - 2; i >= 3; i--) {
      Pairs& level = levels[i - 3];
      putKey(level, argv[i], std::move(value));
      value = buildDict(level);
      if (i == 3) break;
    }
    Pairs top;
    parseDict(value, top);
    return call.writeVar(argv[2], top);
  }
  if (is("unset")) {
    if (n != 4) return wrongNumArgs(in, argv);
    if (!call.readVar(argv[2], d)) return ERROR;
    for (size_t j = 0; j < d.size(); j++)
      if (d[j].first == argv[3]) {
        d.erase(d.begin() + static_cast<std::ptrdiff_t>(j));
        break;
      }
    return call.writeVar(argv[2], d);
  }
  if (is("append") || is("lappend")) {
    if (n < 4) return wrongNumArgs(in, argv);
    if (!call.readVar(argv[2], d)) return ERROR;
    std::string value;
    if (std::string* v = findKey(d, argv[3])) value = *v;
    for (size_t i = 4; i < n; i++) {
      if (is("append")) value += argv[i];
      else listAppendElement(value, argv[i]);
    }
    putKey(d, argv[3], std::move(value));
    return call.writeVar(argv[2], d);
  }
  if (is("incr")) {
    if (n < 4 || n > 5) return wrongNumArgs(in, argv);
    if (!call.readVar(argv[2], d)) return ERROR;
    int64_t by = 1, now = 0;
    if (n == 5 && !lists::strictInt(argv[4], by)) return fail(in, "%s: Invalid integer '%s'", argv[0].c_str(), argv[4].c_str());
    if (std::string* v = findKey(d, argv[3]))
      if (!lists::strictInt(*v, now)) return fail(in, "%s: Invalid integer '%s'", argv[0].c_str(), v->c_str());
    putKey(d, argv[3], std::to_string(static_cast<int64_t>(static_cast<uint64_t>(now) + static_cast<uint64_t>(by))));
    return call.writeVar(argv[2], d);
  }
  if (is("for")) {
    if (n != 5) return wrongNumArgs(in, argv);
    std::vector<std::string> names;
    TclTokenised3(argv[2], names);
    if (names.size() != 2) return fail(in, "%s: Must have exactly two variable names", argv[0].c_str());
    if (!parseDict(argv[3], d)) return call.badDict(argv[3]);
    PreparedScript body(argv[4]);
    for (auto& [k, v] : d) {
      if (set_var(in, names[0], k) != OK || set_var(in, names[1], v) != OK) return ERROR;
      int code = body.eval(in);
      if (code == BREAK) break;
      if (code == CONTINUE || code == OK) continue;
      return code;
    }
    in.result.clear();
    return OK;
  }
  return fail(in, "%s: Unknown subcommand '%s'", argv[0].c_str(), sub.c_str());
}

const CommandRegistrar reg[] = {{"dict", orvelCommandDict}};

}  // namespace

}  // namespace orvel
