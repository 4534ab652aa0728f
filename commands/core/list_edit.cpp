// The list commands that make a changed list: lremove, lreplace and lset.
#include "commands/core/list_common.h"
#include "interp/interp.h"
#include "interp/list_text.h"
#include "interp/struct_access.h"

namespace orvel {

namespace {

// The plain variable a list command changes, or nullptr after a report.
Var* plainListVar(Interp& in, const std::string& cmd, const std::string& name) {
  Var* v = orvelGetVar(in, name);
  if (!v) {
    fail(in, "%s: Variable '%s' not found", cmd.c_str(), name.c_str());
    return nullptr;
  }
  Var* t = varTarget(v);
  if (!t || t->kind != VK_AUTO || t->isConst || v->isConst) {
    fail(in, "%s: Variable '%s' is not a plain variable", cmd.c_str(), name.c_str());
    return nullptr;
  }
  return v;
}

// lremove list value ?-nocase? ?-all? ?-var?
int orvelCommandLremove(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  bool nocase = false, all = false, useVar = false;
  for (size_t i = 3; i < argv.size(); i++) {
    if (argv[i] == "-nocase") nocase = true;
    else if (argv[i] == "-all") all = true;
    else if (argv[i] == "-var") useVar = true;
    else {
      in.result.clear();
      return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), argv[i].c_str());
    }
  }
  std::string text = argv[1];
  if (useVar) {
    Var* v = plainListVar(in, argv[0], argv[1]);
    if (!v) {
      in.result.clear();
      return ERROR;
    }
    readVarValue(in, v, text);
  }
  std::vector<std::string> items;
  TclTokenised3(text, items);
  if (items.empty()) {
    in.result.clear();
    return OK;
  }
  const std::string& value = argv[2];
  std::string out;
  bool removed = false;
  for (auto& e : items) {
    if ((all || !removed) && (nocase ? equalsNoCase(e, value) : e == value)) {
      removed = true;
      continue;
    }
    listAppendElement(out, e);
  }
  if (useVar && setVariable(in, argv[1], &out, true) != OK) {
    in.result.clear();
    return ERROR;
  }
  in.result = std::move(out);
  return OK;
}

// lreplace list first last ?element...?: elements first..last give way to
// the new elements.
int orvelCommandLreplace(Interp& in, Args& argv, void*) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  std::vector<std::string> items;
  const int64_t count = TclTokenised3(argv[1], items);
  int64_t first = 0, last = 0;
  if (!lists::listIndex(argv[2], count, first) || !lists::listIndex(argv[3], count, last)) {
    in.result.clear();
    return fail(in, "%s: Failed to process arguments", argv[0].c_str());
  }
  if (first < 0) first = 0;
  if (count > 0 && first >= count) {
    in.result.clear();
    return fail(in, "%s: List doesn't contain element %lld", argv[0].c_str(), static_cast<long long>(first));
  }
  if (last >= count) last = count - 1;
  if (count > 0 && first > last) {
    in.result.clear();
    return fail(in, "%s: Error, start index (%lld) > end index (%lld)", argv[0].c_str(),
                static_cast<long long>(first), static_cast<long long>(last));
  }
  std::string out;
  for (int64_t i = 0; i < first && i < count; i++) listAppendElement(out, items[static_cast<size_t>(i)]);
  for (size_t i = 4; i < argv.size(); i++) listAppendElement(out, argv[i]);
  for (int64_t i = last < 0 ? 0 : last + 1; i < count; i++) listAppendElement(out, items[static_cast<size_t>(i)]);
  in.result = std::move(out);
  return OK;
}

// Nesting deeper than this is refused (each level is one recursion).
constexpr size_t kMaxIndexDepth = 1000;

// Replaces the element at path[depth..] inside list text `value`.
int lsetInto(Interp& in, const std::string& cmd, std::string& value, const std::vector<std::string>& path,
             size_t depth, const std::string& newValue) {
  if (depth == path.size()) {
    value = newValue;
    return OK;
  }
  std::vector<std::string> items;
  const int64_t count = TclTokenised3(value, items);
  const std::string& word = path[depth];
  int64_t index = 0;
  if (lists::startsWithEnd(word)) {
    if (!lists::listIndex(word, count, index)) return fail(in, "%s: Invalid end argument", cmd.c_str());
  } else if (!lists::strictInt(word, index)) {
    return fail(in, "%s: Invalid index into element list", cmd.c_str());
  }
  if (index < 0) return fail(in, "%s: Invalid index value %lld", cmd.c_str(), static_cast<long long>(index));
  if (depth == 0) {
    // At the outer level the index just past the end adds an element.
    if (index > count) return fail(in, "%s: Element index > total list count", cmd.c_str());
    if (index == count) {
      if (depth + 1 != path.size()) return fail(in, "%s: Element index value >= list element count", cmd.c_str());
      items.push_back(newValue);
      value = listBuild(items);
      return OK;
    }
  } else if (index >= count) {
    return fail(in, "%s: Element index value >= list element count", cmd.c_str());
  }
  std::string& element = items[static_cast<size_t>(index)];
  int code = lsetInto(in, cmd, element, path, depth + 1, newValue);
  if (code != OK) return code;
  value = listBuild(items);
  return OK;
}

// lset varName ?index...? value
int orvelCommandLset(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  Var* v = plainListVar(in, argv[0], argv[1]);
  if (!v) {
    in.result.clear();
    return ERROR;
  }
  std::string value;
  readVarValue(in, v, value);
  std::vector<std::string> path(argv.begin() + 2, argv.end() - 1);
  if (path.size() == 1) {
    // One index word may hold the whole index path.
    std::vector<std::string> parts;
    if (TclTokenised3(path[0], parts) > 1) path = std::move(parts);
  }
  if (path.size() > kMaxIndexDepth) {
    in.result.clear();
    return fail(in, "%s: Invalid index into element list", argv[0].c_str());
  }
  if (lsetInto(in, argv[0], value, path, 0, argv.back()) != OK) {
    in.result.clear();
    return ERROR;
  }
  if (setVariable(in, argv[1], &value, true) != OK) {
    in.result.clear();
    return ERROR;
  }
  in.result = std::move(value);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"lremove", orvelCommandLremove}, {"lreplace", orvelCommandLreplace}, {"lset", orvelCommandLset}};

}  // namespace
}  // namespace orvel
