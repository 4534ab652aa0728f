// static: variables local in name to a procedure but kept between calls.
// The value lives in the global `procName::name`; the procedure's `name` is
// a link to it.
#include "interp/interp.h"
#include "interp/struct_access.h"

namespace orvel {

namespace {

// static name -unset ?-nocomplain?
int staticUnset(Interp& in, Args& argv, bool nocomplain) {
  const std::string& name = argv[1];
  auto refuse = [&](const char* fmt) -> int {
    if (nocomplain) return OK;
    return fail(in, fmt, argv[0].c_str(), name.c_str());
  };
  Var* v = orvelGetVar(in, name);
  if (!v) return refuse("%s: Variable '%s' not found");
  Var* t = varTarget(v);
  if (!v->isStatic && !(t && t->isStatic)) return refuse("%s: Can't unset non-static variable '%s'");
  v->isStatic = false;
  if (t) t->isStatic = false;
  // Inside a procedure the name is a link; the global behind it is released
  // as well, so that a later `static name value` starts afresh.
  VarPtr global;
  if (t && t != v) {
    VarPtr g = globalFrame(in)->vars.findPtr(t->name);
    if (g.get() == t) global = g;
  }
  const bool isStack = t && t->kind == VK_STACK;
  Args words = isStack ? Args{"stack", "unset", name, "-nocomplain"} : Args{"unset", name, "-nocomplain"};
  int code = orvelEvalWords(in, words);
  if (code != OK) {
    in.result = "0";
    return refuse("%s: Failed to unset '%s'");
  }
  if (global) {
    global->stack.reset();
    if (global->kind == VK_STACK) global->kind = VK_AUTO;
    globalFrame(in)->vars.remove(global.get());
  }
  in.result = "0";
  return OK;
}

int orvelCommandStatic(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  in.result = "0";
  bool unset = false, nocomplain = false;
  const std::string* value = nullptr;
  for (size_t i = 2; i < argv.size(); i++) {
    if (argv[i] == "-unset") unset = true;
    else if (argv[i] == "-nocomplain") nocomplain = true;
    else if (!value) value = &argv[i];
  }
  if (unset) return staticUnset(in, argv, nocomplain);

  std::string name = argv[1];
  CallFrame* top = globalFrame(in);
  bool inProc = in.callFrame != top;
  if (name.size() >= 2 && name[0] == ':' && name[1] == ':') {
    // An explicit global needs no link.
    name.erase(0, 2);
    inProc = false;
  }
  if (name.empty()) return fail(in, "%s: Variable name is empty", argv[0].c_str());
  const std::string globalName =
      inProc && in.callFrame->hasProcName ? in.callFrame->procName + "::" + name : name;
  const bool existed = top->vars.find(globalName) != nullptr;

  if (inProc) {
    Var* local = in.callFrame->vars.find(name);
    Var* g = top->vars.find(globalName);
    if (!local || !g || varTarget(local) != varTarget(g)) {
      Args link{"upvar", "@0", globalName, name};
      int code = orvelEvalWords(in, link);
      if (code != OK) return code;
    }
  }
  // The name as this frame sees it.
  const std::string here = inProc ? name : "::" + name;
  int code = OK;
  if (!existed) {
    if (set_var(in, here, "") != 0) {
      in.result = "0";
      return ERROR;
    }
    if (value) code = setVariable(in, here, value, true);
  } else {
    Var* g = varTarget(top->vars.find(globalName));
    if (g && g->kind != VK_AUTO && !nocomplain)
      return fail(in, "%s: Can't assign to variable %s of type %s", argv[0].c_str(), name.c_str(), kindName(g->kind));
  }
  if (Var* g = top->vars.find(globalName)) {
    g->isStatic = true;
    if (Var* t = varTarget(g)) t->isStatic = true;
  }
  if (inProc) {
    if (Var* local = in.callFrame->vars.find(name)) local->isStatic = true;
  }
  return code;
}

const CommandRegistrar kRegs[] = {{"static", orvelCommandStatic}};

}  // namespace
}  // namespace orvel
