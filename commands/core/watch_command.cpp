// The watch command and the change reports of watched variables.
//
//   watch                       the watched names (a list)
//   watch name ?name ...?       watches the names
//   watch -off name ?name ...?  stops watching them
//   watch -clear                stops watching everything
//
// After every command the evaluator runs (commands inside procedures too),
// each watched name is looked up as $name would be at that point, and a
// change of its value, its creation or its removal is reported the way
// trace reports commands: a line "Watch N (level)> name: 'old' -> 'new'"
// on the console, or in "trace.log" while trace logging is on. Inside a
// procedure the name means the procedure's own variable (or a link made by
// global or upvar); a variable of an outer frame changed from inside a
// procedure is reported when control is back in that frame. The
// single-step prompt shows the watched values too, and its "w" key
// switches the reports off and on.
#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "interp/interp.h"
#include "interp/list_text.h"
#include "interp/process_state.h"
#include "interp/struct_access.h"
#include "interp/watch_hook.h"
#include "platform/console.h"
#include "support/hash_table.h"
#include "support/stack.h"

namespace orvel {

namespace {

// What a watched name showed when last looked at from one frame level.
struct Sight {
  bool exists = false;
  std::string value;
  const Var* target = nullptr;  // identity only, never read through
  int level = 0;                // the frame level it was looked up from
};

// Per watched name, its last sight at each level of the call chain.
using Sights = std::map<std::string, std::map<int, Sight>, std::less<>>;

Sights& sightsOf(Interp& in) {
  auto& slot = in.attached["watch sights"];
  if (!slot) slot = std::make_shared<Sights>();
  return *static_cast<Sights*>(slot.get());
}

bool isElementName(std::string_view name) {
  size_t open = name.find('(');
  return open != std::string_view::npos && open > 0 && name.back() == ')';
}

Sight look(Interp& in, const std::string& name) {
  Sight s;
  bool global = name.size() > 2 && name[0] == ':' && name[1] == ':';
  s.level = global || !in.callFrame ? 0 : in.callFrame->level;
  if (isElementName(name)) {
    size_t open = name.find('(');
    std::string_view arr = std::string_view(name).substr(0, open);
    if (const std::string* e = arrayGetElement(in, arr, std::string_view(name).substr(open + 1, name.size() - open - 2))) {
      s.exists = true;
      s.value = *e;
      s.target = varTarget(orvelGetVar(in, arr));
    }
    return s;
  }
  Var* v = orvelGetVar(in, name);
  if (!v) v = structMemberVar(in, name);
  if (!v) return s;
  Var* t = varTarget(v);
  s.exists = true;
  s.target = t;
  if (t->kind == VK_ARRAY) {
    s.value = "<array> " + std::to_string(t->table ? t->table->entryCount() : 0) + " elements";
  } else if (t->kind == VK_STACK) {
    s.value = "<stack> " + std::to_string(t->stack ? t->stack->count() : 0) + " items";
  } else if (t->kind == VK_STRUCT) {
    s.value = "<struct>";
  } else {
    readVarValue(in, v, s.value);
  }
  return s;
}

std::string shown(const std::string& v) {
  std::string out = "'";
  out += v.size() > 60 ? v.substr(0, 57) + "..." : v;
  out += "'";
  return out;
}

void report(Interp& in, const std::string& name, const Sight& was, const Sight& now) {
  std::string what;
  if (!was.exists) what = "created " + shown(now.value);
  else if (!now.exists) what = "unset (was " + shown(was.value) + ")";
  else what = shown(was.value) + " -> " + shown(now.value);
  std::string line = strprintf("Watch %lld (%d)> %s: %s", static_cast<long long>(in.commandCounter), now.level,
                               name.c_str(), what.c_str());
  if (ps().traceLog) {
    std::ofstream log("trace.log", std::ios::app | std::ios::binary);
    log << line << "\r\n";
    return;
  }
  plat::setAttribute(14);
  plat::writeOut(line);
  plat::setAttribute(7);
  plat::fillToLineEnd(' ');
  plat::writeOut("\r\n");
  plat::flushOut();
}

int orvelCommandWatch(Interp& in, Args& argv, void*) {
  Sights& sights = sightsOf(in);
  if (argv.size() == 1) {
    in.result = listBuild(in.watchList);
    return OK;
  }
  const std::string& first = argv[1];
  if (first == "-clear") {
    if (argv.size() != 2) return wrongNumArgs(in, argv);
    in.watchList.clear();
    sights.clear();
    in.watchOn = false;
    in.result = "0";
    return OK;
  }
  if (first == "-off") {
    if (argv.size() < 3) return wrongNumArgs(in, argv);
    for (size_t i = 2; i < argv.size(); i++)
      if (std::find(in.watchList.begin(), in.watchList.end(), argv[i]) == in.watchList.end())
        return fail(in, "%s: '%s' is not watched", argv[0].c_str(), argv[i].c_str());
    for (size_t i = 2; i < argv.size(); i++) {
      auto it = std::find(in.watchList.begin(), in.watchList.end(), argv[i]);
      if (it != in.watchList.end()) in.watchList.erase(it);
      sights.erase(argv[i]);
    }
    if (in.watchList.empty()) in.watchOn = false;
    in.result = std::to_string(in.watchList.size());
    return OK;
  }
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& name = argv[i];
    if (name.empty() || name[0] == '-') return fail(in, "%s: Invalid variable name '%s'", argv[0].c_str(), name.c_str());
  }
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& name = argv[i];
    if (std::find(in.watchList.begin(), in.watchList.end(), name) == in.watchList.end()) in.watchList.push_back(name);
    Sight now = look(in, name);
    auto& levels = sights[name];
    levels.clear();
    levels[now.level] = std::move(now);
  }
  in.watchOn = true;
  in.result = std::to_string(in.watchList.size());
  return OK;
}

const CommandRegistrar reg[] = {{"watch", orvelCommandWatch}};

}  // namespace

void watchCheck(Interp& in) {
  if (!in.watchOn || !in.callFrame) return;
  Sights& sights = sightsOf(in);
  for (const std::string& name : in.watchList) {
    Sight now = look(in, name);
    auto& levels = sights[name];
    // Sights from deeper levels belong to frames that have ended (or that
    // uplevel hid for a while): the name is taken up afresh there.
    levels.erase(levels.upper_bound(now.level), levels.end());
    auto it = levels.find(now.level);
    if (it != levels.end()) {
      const Sight& was = it->second;
      if (was.exists != now.exists || was.value != now.value) {
        report(in, name, was, now);
        // The same variable seen from other levels (a global reached
        // through a link) has been reported now.
        if (now.target)
          for (auto& entry : levels)
            if (entry.second.target == now.target) entry.second.value = now.value;
      }
    }
    levels[now.level] = std::move(now);
  }
}

}  // namespace orvel
