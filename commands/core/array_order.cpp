// Array subcommands that walk the elements in order: sort, list and
// foreach.
#include <algorithm>
#include <cinttypes>

#include "commands/core/array_common.h"
#include "expr/numbers.h"
#include "interp/list_text.h"
#include "interp/struct_access.h"
#include "support/ascii_case.h"

namespace orvel::arrays {

namespace {

bool lessNoCase(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; i++) {
    unsigned char x = static_cast<unsigned char>(asciiLower(a[i]));
    unsigned char y = static_cast<unsigned char>(asciiLower(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

}  // namespace

int arraySortList(Interp& in, Args& argv, const ArrayOptions& o) {
  bool sort = equalsNoCase(argv[1], "sort");
  bool names = false, numeric = false, reverse = false, directionSet = false;
  const std::string* target = nullptr;
  const std::string* var = nullptr;
  int counted = 0;
  for (size_t i = 0; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w.empty() || w[0] != '-') {
      if (++counted == 4) var = &w;
      continue;
    }
    if (w == "-names") names = true;
    else if (w == "-numeric") numeric = true;
    else if ((w == "-reverse" || w == "-normal") && !directionSet) {
      reverse = w == "-reverse";
      directionSet = true;
    } else if (w == "-array" && i + 1 < argv.size()) {
      target = &argv[++i];
    }
  }
  Var* v = findArray(in, argv[2]);
  in.result.clear();
  if (!v || !v->table)
    return quietFail(in, o.nocomplain, "%s %s: No such array variable '%s'", argv[0].c_str(), argv[1].c_str(),
                     argv[2].c_str());
  std::vector<std::string> items;
  items.reserve(static_cast<size_t>(v->table->totalNodes()));
  v->table->forEach([&](const hash_table::node& n) { items.push_back(names ? std::string(n.key()) : n.value); });
  if (sort) {
    if (numeric) {
      std::vector<std::pair<int64_t, std::string>> keyed;
      keyed.reserve(items.size());
      for (auto& s : items) keyed.emplace_back(toInt64(s), std::move(s));
      std::stable_sort(keyed.begin(), keyed.end(),
                       [](const auto& a, const auto& b) { return a.first < b.first; });
      for (size_t i = 0; i < items.size(); i++) items[i] = std::move(keyed[i].second);
    } else if (reverse) {
      std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return lessNoCase(b, a); });
    } else {
      std::stable_sort(items.begin(), items.end(), lessNoCase);
    }
  }
  int64_t count = static_cast<int64_t>(items.size());
  if (target) {
    std::string tname = *target;
    for (int64_t i = 0; i < count; i++) {
      if (arraySetElement(in, tname, subscriptText(i), items[static_cast<size_t>(i)], false, true) != OK) {
        in.result.clear();
        return fail(in, "array sort: Failed to write %s(%" PRId64 ")", tname.c_str(), i);
      }
    }
    in.result = intText(count);
    return OK;
  }
  std::string list = listBuild(items);
  if (var) {
    std::string name = *var;
    int code = setVariable(in, name, &list, true);
    if (code != OK) return code;
    in.result = intText(count);
    return OK;
  }
  in.result = std::move(list);
  return OK;
}

int arrayForeach(Interp& in, Args& argv, const ArrayOptions&) {
  if (argv.size() != 5 && argv.size() != 6) return wrongNumArgs(in, argv);
  const std::string& name = argv[2];
  const std::string valueVar = argv[3];
  const std::string subVar = argv.size() == 6 ? argv[4] : std::string();
  const std::string body = argv.back();
  in.result.clear();
  if (orvelGetVar(in, valueVar)) return fail(in, "%s: Value iterator '%s' already exists", "array foreach", valueVar.c_str());
  if (!subVar.empty() && orvelGetVar(in, subVar))
    return fail(in, "%s: Subscript iterator '%s' already exists", "array foreach", subVar.c_str());
  Var* v = varTarget(orvelGetVar(in, name));
  if (!v || v->kind != VK_ARRAY) return fail(in, "%s: '%s' is not an array", "array foreach", name.c_str());
  if (!v->table) return fail(in, "%s: Array '%s' does not exist", "array foreach", name.c_str());
  if (v->table->empty()) return ERROR;
  // The body may change or unset the array: walk a snapshot of the
  // subscripts and keep the table alive.
  std::shared_ptr<hash_table> table = v->table;
  std::vector<std::string> keys = table->keys();
  int code = OK;
  for (const std::string& key : keys) {
    Var* current = findArray(in, name);
    if (!current || current->table != table) break;  // the body removed the array
    const hash_table::node* n = table->find(key);
    if (!n) continue;
    std::string value = n->value;
    if (set_var(in, valueVar, value) != 0 || (!subVar.empty() && set_var(in, subVar, key) != 0)) {
      code = ERROR;
      break;
    }
    code = orvelEval(in, body);
    if (code == OK || code == CONTINUE) {
      code = OK;
      continue;
    }
    if (code == BREAK) code = OK;
    break;
  }
  orvelDeleteVar(in, valueVar);
  if (!subVar.empty()) orvelDeleteVar(in, subVar);
  if (code == OK) in.result.clear();
  return code;
}

}  // namespace orvel::arrays
