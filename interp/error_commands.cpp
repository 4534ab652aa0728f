// error, catch, try, return, exit, die, stop, halt, resume, result,
// setresult and cmdcount.
#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "platform/console.h"

namespace orvel {

namespace {

bool isMain(Interp& in) { return currentInterp() == &in; }

void resetErrorVars(Interp& in) {
  setGlobalVar(in, "errorInfo", "");
  setGlobalVar(in, "errorCode", "0");
  setGlobalVar(in, "errorLine", "0");
}

int codeFromWord(const std::string& w) {
  for (int c = 0; c <= 8; c++)
    if (equalsNoCase(w, codeNameOf(c))) return c;
  return static_cast<int>(toInt64(w));
}

int orvelCommandError(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  int code = ERROR;
  setGlobalVar(in, "errorMsg", argv[1]);
  if (argv.size() > 2) setGlobalVar(in, "errorInfo", argv[2]);
  if (argv.size() > 3) {
    setGlobalVar(in, "errorCode", argv[3]);
    code = static_cast<int>(toInt64(argv[3]));
  }
  if (argv.size() > 4) setGlobalVar(in, "errorLine", argv[4]);
  in.result = argv[1];
  return code;
}

int orvelCommandCatch(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  std::string varName = argv.size() > 2 ? argv[2] : std::string();
  bool quiet = false;
  for (size_t i = 2; i < argv.size(); i++)
    if (argv[i] == "-quiet") quiet = true;
  if (varName == "-quiet") varName.clear();
  if (!varName.empty()) set_var(in, varName, "");
  if (isMain(in)) resetErrorVars(in);
  if (quiet) ps().quietOnce = true;
  std::string script = argv[1];
  int code = orvelEval(in, script);
  if (quiet) ps().quietOnce = false;
  std::string kept = in.result;
  if (code != OK) {
    Var* em = orvelGetVar(in, "::errorMsg");
    if (em) {
      setGlobalVar(in, "errorMsg", kept);
      if (!varName.empty()) set_var(in, varName, kept.empty() ? "catch: Exception trapped setting variable arg" : kept);
    } else if (!varName.empty()) {
      set_var(in, varName, "catch: Exception accessing errorMsg");
    }
  } else if (!varName.empty() && !kept.empty()) {
    set_var(in, varName, kept);
  }
  in.result = intText(code);
  return OK;
}

int orvelCommandTry(Interp& in, Args& argv, void*) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  if (argv[2] != "catch") return fail(in, "%s: Error: Syntax is: try {code} catch {code}", argv[0].c_str());
  bool quiet = false;
  for (size_t i = 4; i < argv.size(); i++)
    if (argv[i] == "-quiet") quiet = true;
  set_var(in, "errorInfo", "");
  set_var(in, "errorCode", "0");
  set_var(in, "errorLine", "0");
  std::string body = argv[1], handler = argv[3];
  if (quiet) ps().quietOnce = true;
  int code = orvelEval(in, body);
  if (code == ERROR || code == STOP) {
    if (quiet) ps().quietOnce = true;
    code = orvelEval(in, handler);
  }
  ps().quietOnce = false;
  return code;
}

int orvelCommandReturn(Interp& in, Args& argv, void*) {
  if (argv.size() > 5) return wrongNumArgs(in, argv);
  if (argv.size() == 2) {  // the usual `return value`
    in.result = argv[1];
    return RETURN;
  }
  int code = RETURN;
  std::string value;
  for (size_t i = 1; i < argv.size(); i++) {
    if (argv[i] == "-code" && i + 1 < argv.size()) {
      code = codeFromWord(argv[i + 1]);
      if (i == 1 && i + 2 < argv.size()) value = argv[i + 2];
      break;
    }
    if (i == 1) value = argv[1];
  }
  in.result = value;
  return code;
}

int orvelCommandExit(Interp& in, Args& argv, void*) {
  if (argv.size() > 1) in.result = argv[1];
  return EXIT;
}

int orvelCommandDie(Interp& in, Args& argv, void*) {
  std::string msg;
  for (size_t i = 1; i < argv.size(); i++) {
    if (argv[i] == "-code" && i + 1 < argv.size()) {
      in.result = argv[++i];
      continue;
    }
    if (msg.empty()) msg = argv[i];
  }
  std::string out;
  for (size_t i = 0; i < msg.size(); i++) {
    if (msg[i] == '\\' && i + 1 < msg.size() && (msg[i + 1] == 'r' || msg[i + 1] == 'n' || msg[i + 1] == 't')) {
      out += msg[i + 1] == 'r' ? '\r' : msg[i + 1] == 'n' ? '\n' : '\t';
      i++;
    } else {
      out += msg[i];
    }
  }
  plat::writeOut(out + "\r\n");
  plat::setAttribute(7);
  return EXIT;
}

int orvelCommandStop(Interp&, Args&, void*) { return STOP; }

int orvelCommandHalt(Interp&, Args& argv, void*) {
  if (equalsNoCase(argv[0], "halt")) {
    if (ps().breakpoint) ps().singleStep = true;
  } else {
    ps().singleStep = false;
  }
  return OK;
}

int orvelCommandResult(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) {
    const char* n = codeNameOf(static_cast<int>(in.substCode));
    if (!n) {
      in.result.clear();
      return fail(in, "%s: Unknown error code %li", argv[0].c_str(), static_cast<long>(in.substCode));
    }
    in.result = n;
    return OK;
  }
  if (argv[1] == "-code") {
    in.result = intText(in.substCode);
    return OK;
  }
  return fail(in, "%s: Unknown option '%s'", argv[0].c_str(), argv[1].c_str());
}

int orvelCommandSetresult(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  in.result = argv[1];
  return OK;
}

int orvelCommandCmdcount(Interp& in, Args& argv, void*) {
  for (size_t i = 1; i < argv.size(); i++)
    if (argv[i] == "-reset") {
      in.commandCounter = 0;
      in.result = "0";
      return OK;
    }
  if (argv.size() < 2) {
    in.result = intText(in.commandCounter);
    return OK;
  }
  std::string varName = argv.size() > 2 ? argv[2] : std::string();
  if (!varName.empty()) set_var(in, varName, "");
  if (isMain(in)) resetErrorVars(in);
  int64_t before = in.commandCounter;
  std::string script = argv[1];
  int code = orvelEval(in, script);
  int64_t count = in.commandCounter - before;
  if (!varName.empty()) {
    if (code != OK) {
      Var* em = orvelGetVar(in, "::errorMsg");
      std::string msg;
      if (em) readVarValue(in, em, msg);
      else msg = strprintf("%s: Exception (Code %i)", argv[0].c_str(), code);
      set_var(in, varName, msg);
    } else if (!in.result.empty()) {
      set_var(in, varName, in.result);
    }
  }
  in.result = intText(count);
  return OK;
}

const CommandRegistrar kRegs[] = {
    {"error", orvelCommandError},   {"catch", orvelCommandCatch},       {"try", orvelCommandTry},
    {"return", orvelCommandReturn}, {"exit", orvelCommandExit},         {"die", orvelCommandDie},
    {"stop", orvelCommandStop},     {"halt", orvelCommandHalt},         {"resume", orvelCommandHalt},
    {"result", orvelCommandResult}, {"setresult", orvelCommandSetresult}, {"cmdcount", orvelCommandCmdcount},
};

}  // namespace
}  // namespace orvel
