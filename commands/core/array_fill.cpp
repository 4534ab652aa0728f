// Commands that fill arrays from lists and texts: `array set` (and
// `array_set`), `array setint`, `array append`, `array blank`,
// `list_to_array` and `string_to_array`.
#include <cinttypes>
#include <exception>

#include "commands/core/array_common.h"
#include "expr/numbers.h"
#include "interp/list_text.h"
#include "interp/struct_access.h"

namespace orvel {

namespace arrays {

namespace {

bool isOption(const std::string& w) { return !w.empty() && w[0] == '-'; }

// Element count of an array (0 when it is missing or not an array).
int64_t elementCount(Interp& in, std::string_view name) {
  Var* v = findArray(in, name);
  return v && v->table ? v->table->totalNodes() : 0;
}

// Stores the items of one list at subscripts start, start+1, ...; count
// receives the item count.
int storeIntList(Interp& in, const std::string& name, const std::string& list, int64_t start, int64_t& count) {
  try {
    Var* v = varTarget(orvelGetVar(in, name));
    if (!v) {
      v = createArray(in, name, 100);
      if (!v) return fail(in, "array setint: Failed to create array variable '%s'", name.c_str());
    } else if (v->kind != VK_ARRAY) {
      return fail(in, "array setint: '%s' exists and is not an array", name.c_str());
    }
    if (v->isConst) return fail(in, "%s: Can't assign to const '%s'", "array setint", name.c_str());
    std::vector<std::string> items;
    TclTokenised3(list, items);
    count = static_cast<int64_t>(items.size());
    for (size_t k = 0; k < items.size(); k++) {
      if (!v->table || !v->table->set(subscriptText(start + static_cast<int64_t>(k)), items[k], true))
        return fail(in, "array setint: Failed to create set array element for '%s'", name.c_str());
    }
    return OK;
  } catch (const std::exception& e) {
    reportException("orvelArraySetInt", e.what());
  } catch (...) {
    reportException("orvelArraySetInt", nullptr);
  }
  return ERROR;
}

}  // namespace

int storePairs(Interp& in, const Args& argv, size_t from) {
  const std::string& name = argv[from];
  bool makeConst = false, nocase = false;
  std::vector<std::string> items;
  size_t listArgs = 0;
  const std::string* single = nullptr;
  for (size_t i = from + 1; i < argv.size(); i++) {
    if (i >= from + 2 && argv[i] == "-const") {
      makeConst = true;
    } else if (i >= from + 2 && argv[i] == "-nocase") {
      nocase = true;
    } else {
      listArgs++;
      single = &argv[i];
      items.push_back(argv[i]);
    }
  }
  in.result.clear();
  Var* v = varTarget(orvelGetVar(in, name));
  if (v && v->isConst) return fail(in, "%s: Can't assign to const '%s'", "array set", name.c_str());
  if (listArgs == 1) {
    items.clear();
    TclTokenised3(*single, items);
  }
  if (items.empty() || items.size() % 2 != 0)
    return fail(in, "array set: Bad list pair count (%i) for '%s'", static_cast<int>(items.size()), name.c_str());
  int64_t stored = 0;
  for (size_t i = 0; i + 1 < items.size(); i += 2)
    if (arraySetElement(in, name, items[i], items[i + 1], nocase, true) == OK) stored++;
  if (makeConst)
    if (Var* a = findArray(in, name)) a->isConst = true;
  in.result = intText(stored);
  return OK;
}

int arraySetPairs(Interp& in, Args& argv, const ArrayOptions&) { return storePairs(in, argv, 2); }

int arraySetInt(Interp& in, Args& argv, const ArrayOptions&) {
  bool makeConst = false, nocase = false;
  int64_t base = 0;
  std::vector<size_t> lists;
  for (size_t i = 3; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-const") makeConst = true;
    else if (w == "-nocase") nocase = true;
    else if (w == "-base") {
      if (i + 1 < argv.size()) base = toInt64(argv[++i]);
    } else if (i == 3 || !isOption(w)) {
      lists.push_back(i);
    }
  }
  in.result.clear();
  if (argv[3].empty()) return fail(in, "%s %s: Requires at least 1 list item", argv[0].c_str(), argv[1].c_str());
  if (base < 0) base = 0;
  const std::string& name = argv[2];
  int64_t start = base;
  for (size_t idx : lists) {
    int64_t count = 0;
    if (storeIntList(in, name, argv[idx], start, count) != OK) {
      in.result.clear();
      return fail(in, "%s %s: Error setting '%s' using '%.40s'... (arg %li)", argv[0].c_str(), argv[1].c_str(),
                  name.c_str(), argv[idx].c_str(), static_cast<long>(idx));
    }
    start += count;
  }
  if (Var* v = findArray(in, name)) {
    if (makeConst) v->isConst = true;
    if (nocase) v->noCase = true;
  }
  in.result.clear();
  return OK;
}

int arrayAppend(Interp& in, Args& argv, const ArrayOptions&) {
  const std::string& target = argv[2];
  int64_t n = elementCount(in, argv[3]);
  if (argv.size() > 4) {
    int64_t c = toInt64(argv[4]);
    if (c >= 1 && c < n) n = c;
  }
  int64_t t = elementCount(in, target);
  std::string value;
  for (int64_t i = 0; i < n; i++) {
    const std::string* e = arrayGetElement(in, argv[3], subscriptText(i));
    value = e ? *e : std::string();
    int code = arraySetElement(in, target, subscriptText(t + i), value, false, true);
    if (code != OK) {
      in.result.clear();
      return code;
    }
  }
  in.result = intText(t + n);
  return OK;
}

int arrayBlank(Interp& in, Args& argv, const ArrayOptions& o) {
  int64_t count = toInt64(argv[3]);
  if (count < 0) count = 0;
  std::string value;
  int64_t start = 0;
  if (argv.size() > 4 && argv[4] != "-start") value = argv[4];
  for (size_t i = 4; i + 1 < argv.size(); i++)
    if (argv[i] == "-start") start = toInt64(argv[i + 1]);
  in.result.clear();
  for (int64_t i = 0; i < count; i++)
    if (arraySetElement(in, argv[2], subscriptText(start + i), value, o.nocase, false) != OK) return ERROR;
  in.result = intText(count);
  return OK;
}

}  // namespace arrays

namespace {

int orvelCommandArraySet(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  return arrays::storePairs(in, argv, 1);
}

int orvelCommandListToArray(Interp& in, Args& argv, void*) {
  if (argv.size() != 3 && argv.size() != 4) return wrongNumArgs(in, argv);
  const std::string& name = argv[2];
  int64_t base = argv.size() == 4 ? toInt64(argv[3]) : 0;
  if (base < 0) base = 0;
  std::vector<std::string> items;
  TclTokenised3(argv[1], items);
  for (size_t i = 0; i < items.size(); i++) {
    int64_t sub = base + static_cast<int64_t>(i);
    if (arraySetElement(in, name, arrays::subscriptText(sub), items[i], false, true) != OK) {
      in.result.clear();
      return fail(in, "%s: Failed to write %s(%" PRId64 ")", argv[0].c_str(), name.c_str(), sub);
    }
  }
  in.result = intText(static_cast<int64_t>(items.size()));
  return OK;
}

int orvelCommandStringToArray(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  const std::string& text = argv[1];
  const std::string& name = argv[2];
  bool chars = false, asc = false, append = false;
  int stopChar = -1;
  int64_t start = 0;
  for (size_t i = 3; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-chars") chars = true;
    else if (w == "-asc") asc = true;
    else if (w == "-append") append = true;
    else if (w == "-stopchar" && i + 1 < argv.size()) {
      const std::string& c = argv[++i];
      stopChar = c.empty() ? -1 : static_cast<unsigned char>(c[0]);
    } else if (w == "-start" && i + 1 < argv.size()) {
      start = toInt64(argv[++i]);
    } else {
      in.result.clear();
      return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), w.c_str());
    }
  }
  in.result.clear();
  if (append) {
    if (!orvelGetVar(in, name))
      return fail(in, "%s: Array variable '%s' does not exist with -append", argv[0].c_str(), name.c_str());
    start = arrays::elementCount(in, name);
  } else if (orvelGetVar(in, name)) {
    return fail(in, "%s: Array variable '%s' exists", argv[0].c_str(), name.c_str());
  }
  int64_t stored = 0;
  auto store = [&](std::string_view value) {
    int64_t sub = start + stored;
    if (arraySetElement(in, name, arrays::subscriptText(sub), value, false, true) != OK) {
      fail(in, "%s: Failed to write %s(%" PRId64 ")", argv[0].c_str(), name.c_str(), sub);
      in.result = chars ? "0" : "";
      return false;
    }
    stored++;
    return true;
  };
  if (chars) {
    for (char c : text) {
      if (stopChar >= 0 && static_cast<unsigned char>(c) == stopChar) break;
      bool ok = asc ? store(intText(static_cast<unsigned char>(c))) : store(std::string_view(&c, 1));
      if (!ok) return ERROR;
    }
  } else {
    size_t pos = 0;
    while (pos < text.size()) {
      size_t end = text.find_first_of("\r\n", pos);
      if (end == std::string::npos) end = text.size();
      if (end > pos && !store(std::string_view(text).substr(pos, end - pos))) return ERROR;
      pos = end + 1;
    }
  }
  in.result = intText(stored);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"array_set", orvelCommandArraySet},
    {"list_to_array", orvelCommandListToArray},
    {"string_to_array", orvelCommandStringToArray},
};

}  // namespace
}  // namespace orvel
