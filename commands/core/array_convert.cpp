// Arrays turned into texts: `array_to_list` and `array_to_string`.
#include "commands/core/array_common.h"
#include "expr/numbers.h"
#include "interp/list_text.h"
#include "interp/struct_access.h"
#include "support/ascii_case.h"

namespace orvel {

namespace {

int orvelCommandArrayToList(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string& name = argv[1];
  bool valuesOnly = false;
  const std::string* var = nullptr;
  for (size_t i = 2; i < argv.size(); i++) {
    if (argv[i] == "-values") valuesOnly = true;
    else if (!var && (argv[i].empty() || argv[i][0] != '-')) var = &argv[i];
  }
  in.result.clear();
  Var* rec = orvelGetVar(in, name);
  if (!rec) return fail(in, "%s: Array '%s' does not exist", argv[0].c_str(), name.c_str());
  Var* v = varTarget(rec);
  if (v->kind != VK_ARRAY) return fail(in, "%s: %s is not an array", argv[0].c_str(), name.c_str());
  if (!v->table) return fail(in, "%s: Array '%s' is empty", argv[0].c_str(), name.c_str());
  std::string out;
  if (v->table->empty()) {
    out = "{}";
  } else {
    v->table->forEach([&](const hash_table::node& n) {
      if (valuesOnly) {
        listAppendElement(out, n.value);
        return;
      }
      std::string pair;
      listAppendElement(pair, n.key());
      listAppendElement(pair, n.value);
      if (!out.empty()) out += ' ';
      out += '{';
      out += pair;
      out += '}';
    });
  }
  if (var) {
    std::string target = *var;
    if (setVariable(in, target, &out, false) != OK) {
      int code = fail(in, "%s: Failed to set variable '%s'", argv[0].c_str(), target.c_str());
      in.result = std::move(out);
      return code;
    }
  }
  in.result = std::move(out);
  return OK;
}

int orvelCommandArrayToString(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string& name = argv[1];
  int64_t start = 0, stop = 0;
  bool stopGiven = false, hasStopStr = false, nocase = false;
  std::string stopStr, join;
  for (size_t i = 2; i < argv.size(); i++) {
    const std::string& w = argv[i];
    bool hasValue = i + 1 < argv.size();
    if (w == "-nocase") {
      nocase = true;
    } else if (w == "-start" && hasValue) {
      start = toInt64(argv[++i]);
    } else if (w == "-stop" && hasValue) {
      stop = toInt64(argv[++i]);
      stopGiven = true;
    } else if (w == "-stopstr" && hasValue) {
      stopStr = argv[++i];
      hasStopStr = true;
    } else if (w == "-join" && hasValue) {
      join = argv[++i];
    } else {
      in.result.clear();
      return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), w.c_str());
    }
  }
  Var* v = arrays::findArray(in, name);
  if (!v || !v->table) {
    in.result.clear();
    return fail(in, "%s: Error accessing array '%s'", argv[0].c_str(), name.c_str());
  }
  int64_t e = v->table->totalNodes();
  if (start > e - 1) start = e - 1;
  if (start < 0) start = 0;
  int64_t end = (stopGiven && stop > 0 && stop <= e) ? stop : e;
  std::string out;
  bool first = true;
  for (int64_t i = start; i < end; i++) {
    const std::string* value = v->table->getPtr(arrays::subscriptText(i));
    if (!value) continue;
    if (hasStopStr && equalsCase(*value, stopStr, nocase)) break;
    if (!first) out += join;
    out += *value;
    first = false;
  }
  in.result = std::move(out);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"array_to_list", orvelCommandArrayToList},
    {"array_to_string", orvelCommandArrayToString},
};

}  // namespace
}  // namespace orvel
