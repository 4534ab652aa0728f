// Bringing script files into a running interpreter: source evaluates a file
// at once; load keeps one program (or fills a variable) and run starts it
// afresh. Files are prepared as the orvel program prepares a script file.
#include "commands/system/script_loading.h"

#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "platform/console.h"
#include "platform/files.h"
#include "preproc/preprocessor.h"

namespace orvel {

namespace {

struct LoadedProgram {
  std::string text;
  bool ready = false;
  void discard() {
    text.clear();
    text.shrink_to_fit();
    ready = false;
  }
};

LoadedProgram& program() {
  static LoadedProgram p;
  return p;
}


std::string grouped(uint64_t n) {
  std::string d = uintText(n), out;
  for (size_t i = 0; i < d.size(); i++) {
    if (i && (d.size() - i) % 3 == 0) out += ',';
    out += d[i];
  }
  return out;
}

void makeConstVar(Interp& in, const char* name) {
  if (Var* v = orvelGetVar(in, name)) {
    v->isConst = true;
    v->isStatic = true;
  }
}

// Replaces ::argv (and argc, argv0 when asked) with the file and its
// arguments.
void setScriptArgs(Interp& in, const std::vector<std::string>& words, bool withArgv0) {
  orvelDeleteVar(in, "::argv");
  for (size_t i = 0; i < words.size(); i++) arraySetElement(in, "::argv", intText(static_cast<int64_t>(i)), escapedForScript(words[i]));
  makeConstVar(in, "::argv");
  orvelSetConst(in, "::argc", intText(static_cast<int64_t>(words.size())), true, true);
  if (withArgv0) orvelSetConst(in, "::argv0", words.empty() ? std::string() : escapedForScript(words[0]), true, true);
}

// Restores a switch of the process state when the command ends.
struct SwitchGuard {
  bool& ref;
  bool saved;
  explicit SwitchGuard(bool& r) : ref(r), saved(r) {}
  ~SwitchGuard() { ref = saved; }
};

bool hasExtension(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  size_t dot = path.find_last_of('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

int orvelCommandLoad(Interp& in, Args& argv, void*) {
  if (scriptRunningFlag()) return fail(in, "%s: Command is only available from the CLI", argv[0].c_str());
  LoadedProgram& prog = program();
  in.result.clear();
  if (argv.size() == 1) {
    if (prog.ready && !prog.text.empty())
      plat::writeOut(strprintf("%s - %s byte(s)\r\n", ps().scriptName.c_str(), grouped(prog.text.size()).c_str()));
    else
      plat::writeOut("No script loaded\r\n");
    return OK;
  }
  ps().scriptName.clear();
  if (argv[1] == "-clear") {
    prog.discard();
    return OK;
  }
  std::string path = argv[1];
  if (!hasExtension(path)) path += ".tcl";
  bool quiet = false;
  const std::string* varName = nullptr;
  for (size_t i = 2; i < argv.size(); i++) {
    if (argv[i] == "-quiet") quiet = true;
    else if (!argv[i].empty() && argv[i][0] == '-') continue;
    else if (!varName) varName = &argv[i];
  }
  prog.discard();
  std::string text, err;
  if (plat::isDirectory(path) || !plat::readWholeFile(path, text, err))
    return fail(in, "%s: Error reading source file '%s'", argv[0].c_str(), path.c_str());
  ps().scriptName = plat::fullPath(path).substr(0, 260);
  SwitchGuard escape(ps().escape);
  ps().escape = true;
  if (ps().preprocessor) {
    int rc = orvelPrepareScriptText(in, text);
    if (rc < 0 && rc != PP_EXIT) {
      text.clear();
      if (rc == PP_NO_TEXT_BACK)
        return fail(in, "%s: %s File '%s' is empty", argv[0].c_str(), "Error", path.c_str());
      return fail(in, "%s: %s preprocessing file '%s'", argv[0].c_str(), "Error", path.c_str());
    }
  }
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == '\t' || text.back() == ' '))
    text.pop_back();
  if (!quiet) plat::writeOut(strprintf("Loaded %s OK %s byte(s)\r\n", path.c_str(), grouped(text.size()).c_str()));
  if (varName) {
    int code = set_var(in, *varName, text);
    prog.discard();
    return code;
  }
  prog.text = std::move(text);
  prog.ready = true;
  return OK;
}

int orvelCommandRun(Interp& in, Args& argv, void*) {
  if (scriptRunningFlag()) {
    reportErrorText(in, strprintf("%s: A script is running. [run] is blocked. [run] is a CLI command\r\n",
                                  argv[0].c_str()));
    return ERROR;
  }
  LoadedProgram& prog = program();
  if (argv.size() > 1) {
    prog.discard();
    std::string file = argv[1];
#ifdef _WIN32
    for (auto& c : file)
      if (c == '/') c = '\\';
#endif
    Args words{"load", file, "-quiet"};
    if (orvelCommandLoad(in, words, nullptr) != OK) {
      in.result = "run: load program failed";
      return ERROR;
    }
  }
  bool& running = scriptRunningFlag();
  running = true;
  if (!prog.ready || prog.text.empty()) {
    plat::writeOut("No script loaded\r\n");
    running = false;
    in.result.clear();
    return ERROR;
  }
  std::string savedName = ps().scriptName;
  if (Command* store = orvelGetCommand(in, "store")) {
    Args words{"store", "clear"};
    store->handler(in, words, store->pd);
  }
  orvelDeleteVar(in, "::argv");
  orvelSetConst(in, "::argv0", "", true, true);
  orvelSetConst(in, "::argc", "0", true, true);
  if (argv.size() > 1) {
    std::vector<std::string> words(argv.begin() + 1, argv.end());
    setScriptArgs(in, words, true);
  }
  if (Command* clear = orvelGetCommand(in, "clear")) {
    Args words{"clear"};
    if (clear->handler(in, words, clear->pd) != OK) {
      running = false;
      reportErrorText(in, strprintf("%s: Failed to clear variable(s)\r\n", argv[0].c_str()));
      return ERROR;
    }
  }
  int code;
  {
    SwitchGuard autoexec(ps().autoexec);
    SwitchGuard escape(ps().escape);
    ps().autoexec = false;
    ps().escape = true;
    setGlobalVar(in, "errorCode", "0");
    setGlobalVar(in, "errorLine", "0");
    setGlobalVar(in, "errorInfo", "");
    setGlobalVar(in, "errorMsg", "");
    std::string copy = prog.text;
    in.result.clear();
    code = orvelEval(in, copy);
  }
  ps().scriptName = savedName;
  if (code != OK && code != EXIT) plat::writeOut(in.result + "\r\n");
  running = false;
  return OK;
}

int orvelCommandSource(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  bool savedPreprocessor = ps().preprocessor;
  ps().preprocessor = true;
  const std::string& path = argv[1];
  in.result.clear();
  if (!plat::pathExists(path)) {
    ps().preprocessor = savedPreprocessor;
    return fail(in, "%s: File '%s' not found", argv[0].c_str(), path.c_str());
  }
  std::string text, err;
  if (plat::isDirectory(path) || !plat::readWholeFile(path, text, err)) {
    ps().preprocessor = savedPreprocessor;
    return fail(in, "eval: Error reading file '%s'", path.c_str());
  }
  ps().escape = true;
  if (text.empty()) {
    ps().preprocessor = savedPreprocessor;
    return OK;
  }
  ps().scriptName = plat::fullPath(path).substr(0, 260);
  orvelPrepareScriptText(in, text);

  // The caller's argc and argv elements come back afterwards.
  std::vector<std::string> savedArgv;
  int64_t savedArgc = 0;
  if (Var* c = orvelGetVar(in, "::argc")) savedArgc = toInt64(c->value);
  for (int64_t i = 0; i < savedArgc && i < 100000; i++) {
    const std::string* e = arrayGetElement(in, "::argv", intText(i));
    savedArgv.push_back(e ? *e : std::string());
  }
  std::vector<std::string> words(argv.begin() + 1, argv.end());
  setScriptArgs(in, words, false);

  ps().preprocessor = savedPreprocessor;
  unsigned savedStatus = in.substCode;
  int code = orvelEval(in, text);
  std::string result = in.result;
  if (savedArgc > 0) {
    orvelDeleteVar(in, "::argv");
    for (size_t i = 0; i < savedArgv.size(); i++)
      arraySetElement(in, "::argv", intText(static_cast<int64_t>(i)), savedArgv[i]);
    makeConstVar(in, "::argv");
    orvelSetConst(in, "::argc", intText(savedArgc), true, true);
  }
  in.substCode = savedStatus;
  in.result = std::move(result);
  return code == RETURN ? OK : code;
}

// clear: removes the variables of the current frame that are neither
// constant nor static; the result is how many went.
int orvelCommandClear(Interp& in, Args& argv, void*) {
  if (argv.size() > 1) return wrongNumArgs(in, argv);
  int64_t removed = 0;
  for (Var* v : in.callFrame->vars.list()) {
    if (v->isConst || v->isStatic) continue;
    if (in.callFrame->vars.remove(v)) removed++;
  }
  in.result = intText(removed);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"load", orvelCommandLoad},
    {"run", orvelCommandRun},
    {"source", orvelCommandSource},
    {"clear", orvelCommandClear},
};

}  // namespace

bool& scriptRunningFlag() {
  static bool running = false;
  return running;
}

}  // namespace orvel
