// trace, alias and interp: commands on the command table itself.
#include "interp/command_table.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "expr/numbers.h"
#include "support/wildcard.h"
#include "platform/console.h"

namespace orvel {

namespace {

int orvelCommandTrace(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string& sub = argv[1];
  if (equalsNoCase(sub, "list")) {
    std::string out;
    if (in.traceList.empty()) out = "No traces registered\r\n";
    for (size_t i = 0; i < in.traceList.size(); i++)
      out += strprintf("trace %i: '%s'\r\n", static_cast<int>(i), in.traceList[i].c_str());
    plat::writeOut(out);
    return OK;
  }
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  const std::string& name = argv[2];
  if (equalsNoCase(sub, "add")) {
    in.traceOn = true;
    bool glob = false;
    for (size_t i = 3; i < argv.size(); i++)
      if (argv[i] == "-glob") glob = true;
    if (glob) {
      for (Command* c : orvelCommandList(in))
        if (wildMatch(name, c->name)) in.traceList.push_back(c->name);
    } else {
      bool listed = false;
      for (auto& t : in.traceList)
        if (t == name) listed = true;
      if (!listed) in.traceList.push_back(name);
    }
    return OK;
  }
  if (equalsNoCase(sub, "remove")) {
    if (name == "*") {
      in.traceList.clear();
    } else {
      for (size_t i = 0; i < in.traceList.size(); i++)
        if (in.traceList[i] == name) {
          in.traceList.erase(in.traceList.begin() + static_cast<std::ptrdiff_t>(i));
          break;
        }
    }
    if (in.traceList.empty()) in.traceOn = false;
    return OK;
  }
  if (equalsNoCase(sub, "log")) {
    if (equalsNoCase(name, "enabled")) ps().traceLog = true;
    else if (equalsNoCase(name, "disabled")) ps().traceLog = false;
    return OK;
  }
  return fail(in, "%s: Use trace add or trace remove", argv[0].c_str());
}

int orvelCommandAlias(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  bool nocomplain = false;
  for (size_t i = 3; i < argv.size(); i++)
    if (argv[i] == "-nocomplain") nocomplain = true;
  in.result = "0";
  Command* existing = orvelGetCommand(in, argv[2]);
  if (!existing) {
    if (nocomplain) return OK;
    return fail(in, "%s: Command '%s' not found", "alias", argv[2].c_str());
  }
  if (orvelGetCommand(in, argv[1])) {
    if (nocomplain) return OK;
    return fail(in, "alias: Alias '%s' already exists", argv[1].c_str());
  }
  if (!existing->handler) return fail(in, "%s: Error retrieving '%s'", argv[0].c_str(), argv[2].c_str());
  Handler h = existing->handler;
  void* pd = existing->pd;
  int kind = existing->kind;
  auto owner = existing->owner;
  if (orvelRegisterCommand(in, argv[1], h, pd, kind, owner) != OK)
    return fail(in, "alias: Failed to register '%s' as alias for '%s'", argv[1].c_str(), argv[2].c_str());
  in.result = "1";
  return OK;
}

int orvelCommandInterp(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  Interp* previous = currentInterp();
  auto child = std::make_unique<Interp>();
  orvelInitInterp(*child);
  orvelRegisterCoreCommands(*child, false);
  orvelSetStartupVars(*child, nullptr);
  for (size_t i = 2; i + 1 < argv.size(); i++) {
    if (argv[i] != "-var") continue;
    const std::string& name = argv[++i];
    setCurrentInterp(&in);
    Var* v = orvelGetVar(in, name);
    if (!v) {
      setCurrentInterp(previous);
      return fail(in, "%s: Variable '%s' not found", argv[0].c_str(), name.c_str());
    }
    std::string value;
    readVarValue(in, v, value);
    if (set_var(*child, name, value) != 0) {
      setCurrentInterp(previous);
      return fail(in, "%s: Failed to set variable '%s'", argv[0].c_str(), name.c_str());
    }
  }
  setCurrentInterp(child.get());
  std::string script = argv[1];
  int code = orvelEval(*child, script);
  if (code == ERROR || code == RETURN || code == BREAK) {
    in.result = child->result;
  } else if (code == EXIT) {
    in.result = child->result;
    code = OK;
  } else {
    // The interactive command loop is not available to child interpreters.
    code = OK;
  }
  child.reset();
  setCurrentInterp(previous);
  return code;
}

const CommandRegistrar kRegs[] = {
    {"trace", orvelCommandTrace},
    {"alias", orvelCommandAlias},
    {"interp", orvelCommandInterp},
};

}  // namespace
}  // namespace orvel
