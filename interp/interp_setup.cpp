// Creating, filling and releasing an interpreter.
#include "interp/command_table.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "platform/system.h"
#include "support/hash_table.h"

namespace orvel {

namespace {
Interp* g_current = nullptr;

void makeConst(Interp& in, std::string_view name, std::string_view value, bool replace = false) {
  orvelSetConst(in, name, value, true, replace);
}

std::string g_exeName;  // the program's path, kept for the process
}  // namespace

std::string escapedForScript(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c == '\\') out += "\\\\";
    else if (c == '$' || c == '[' || c == ']' || c == '{' || c == '}') {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
  return out;
}

Interp* currentInterp() { return g_current; }
void setCurrentInterp(Interp* in) { g_current = in; }

Interp::Interp() = default;
Interp::~Interp() {
  if (globalFrame) orvelFreeInterp(*this);
}

void orvelInitInterp(Interp& in) {
  in.level = 0;
  in.globalFrame = std::make_unique<CallFrame>();
  in.callFrame = in.globalFrame.get();
  in.commands = std::make_unique<CommandTable>();
  in.result.clear();
  in.commandCounter = 0;
  in.traceLine.clear();
  in.traceOn = false;
  in.traceList.clear();
  in.watchOn = false;
  in.watchList.clear();
  in.substCode = 0;
  in.resultKind = 0;
  setCurrentInterp(&in);
}

void orvelSetStartupVars(Interp& in, const std::vector<std::string>* list) {
  std::string exe = plat::modulePath();
  if (!exe.empty()) {
    g_exeName = exe.substr(0, 259);
    makeConst(in, "exe_name", escapedForScript(exe));
  }
  bool haveList = list && list->size() >= 2;
  makeConst(in, "argv0", haveList ? (*list)[1] : std::string());
  makeConst(in, "argc", haveList ? std::to_string(list->size() - 1) : std::string("0"));
  if (haveList) {
    for (size_t i = 1; i < list->size(); i++)
      arraySetElement(in, "argv", std::to_string(i - 1), escapedForScript((*list)[i]));
    if (Var* v = orvelGetVar(in, "argv")) v->isConst = true;
  }
  for (const std::string& e : plat::environment()) {
    size_t eq = e.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    arraySetElement(in, "env", e.substr(0, eq), escapedForScript(e.substr(eq + 1)));
  }
  if (Var* v = orvelGetVar(in, "env")) v->isConst = true;
  makeConst(in, "tcl_precision", "2");
  makeConst(in, "tcl_version", "1.27");
  makeConst(in, "tcl_threaded", "0");
  makeConst(in, "tcl_cli", "0", true);
  makeConst(in, "tcl_date", "2023/May/14@21:31:01");
  makeConst(in, "win64", plat::isWow64() ? "True" : "False");
  makeConst(in, "NAN", "-1.#IND00000000000");
  makeConst(in, "pi", "3.14159265358979323");
  makeConst(in, "qbf", "The quick brown fox jumps over the lazy dog");
  makeConst(in, "eof", "-1");
  makeConst(in, "true", "1");
  makeConst(in, "false", "0");
  set_var(in, "autoexec_ran", "0");
  set_var(in, "tcl_cgi", "0");
}

void orvelFreeInterp(Interp& in) {
  if (!in.globalFrame) return;
  while (in.callFrame && in.callFrame != in.globalFrame.get()) orvelDropCallFrame(in);
  in.callFrame = in.globalFrame.get();
  in.globalFrame->vars.takeAll();
  in.globalFrame.reset();
  in.callFrame = nullptr;
  if (in.commands) in.commands->clear();
  in.commands.reset();
  in.framePool.clear();
  in.attached.clear();
  in.result.clear();
  in.traceLine.clear();
  in.traceList.clear();
  in.watchList.clear();
  in.traceOn = false;
  if (g_current == &in) g_current = nullptr;
}

}  // namespace orvel
