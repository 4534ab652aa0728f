// The `option` command (the process-wide switches: listing, on/off,
// push/pop save cells, reset from the configuration) and the `debug`
// command.
#include <cstring>

#include "interp/interp.h"
#include "interp/process_state.h"
#include "platform/console.h"
#include "preproc/preprocessor.h"
#include "support/config.h"

namespace orvel {

namespace {

// One save cell per switch, filled with the switches' values on the first
// call of `option`.
struct SaveCells {
  bool filled = false;
  bool autoexec = false, echo = false, verbose = false, escape = false, expression = false,
       preprocessor = false, stacktrace = false, breakpoint = false;
};
SaveCells& cells() {
  static SaveCells c;
  return c;
}

void fillCells() {
  SaveCells& c = cells();
  if (c.filled) return;
  ProcessState& st = ps();
  c.filled = true;
  c.autoexec = st.autoexec;
  c.echo = st.echo;
  c.verbose = st.verbose;
  c.escape = st.escape;
  c.expression = st.expression;
  c.preprocessor = st.preprocessor;
  c.stacktrace = st.stacktrace;
  c.breakpoint = st.breakpoint;
}

const char* onOff(bool b) { return b ? "on" : "off"; }

void printListing() {
  ProcessState& st = ps();
  std::string t = "Option Settings:\r\n\r\n";
  t += "Subcommand    Arg  Comment\r\n";
  t += std::string(75, '-') + "\n";
  t += strprintf("autoexec      %3s: Autoexec unknown (disables CLI C-like escapes if ON)\r\n", onOff(st.autoexec));
  t += strprintf("echo          %3s: Echo command and error results\r\n", onOff(st.echo));
  t += strprintf("escape        %3s: C-like escapes. (Disabled in CLI by autoexec ON)\r\n", onOff(st.escape));
  t += strprintf("expression    %3s: Flow control uses %s\r\n", onOff(st.expression),
                 st.expression ? "[expr]" : "[eval]");
  t += strprintf("preprocessor  %3s: Macro preprocessor\r\n", onOff(st.preprocessor));
  t += strprintf("stacktrace    %3s: Debug stack trace\r\n", onOff(st.stacktrace));
  t += strprintf("breakpoint    %3s: Debugging Breakpoints\r\n", onOff(st.breakpoint));
  plat::writeOut(t);
}

struct Marks {
  bool on = false, off = false, push = false, pop = false, reset = false;
};

// Applies push/pop and then on/off to one switch and its save cell.
void applyMarks(const Marks& m, bool& value, bool& cell) {
  if (m.push) cell = value;
  else if (m.pop) value = cell;
  if (m.on) value = true;
  else if (m.off) value = false;
}

int orvelCommandOption(Interp& in, Args& argv, void*) {
  fillCells();
  ProcessState& st = ps();
  SaveCells& c = cells();
  if (argv.size() < 2) {
    printListing();
    in.result.clear();
    return OK;
  }
  const std::string& name = argv[1];
  Marks m;
  for (size_t i = 2; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (equalsNoCase(w, "on")) m.on = true;
    else if (equalsNoCase(w, "off")) m.off = true;
    else if (equalsNoCase(w, "push")) m.push = true;
    else if (equalsNoCase(w, "pop")) m.pop = true;
    else if (equalsNoCase(w, "reset")) m.reset = true;
  }
  bool words = argv.size() > 2;
  auto answer = [&](bool value) {
    if (!words) in.result = value ? "ON" : "OFF";
    return OK;
  };
  auto resetFrom = [](const char* key, bool& value) {
    bool b;
    if (configBool(key, b)) value = b;
  };

  if (equalsNoCase(name, "autoexec")) {
    if (m.reset) resetFrom("AutoExec", st.autoexec);
    else applyMarks(m, st.autoexec, c.autoexec);
    return answer(st.autoexec);
  }
  if (equalsNoCase(name, "echo")) {
    if (m.reset) {
      resetFrom("ConsoleEcho", st.echo);
      resetFrom("Verbose", st.verbose);
    } else {
      if (m.push) {
        c.echo = st.echo;
        c.verbose = st.verbose;
      } else if (m.pop) {
        st.echo = c.echo;
        st.verbose = c.verbose;
      }
      if (m.on) st.echo = st.verbose = true;
      else if (m.off) st.echo = st.verbose = false;
    }
    return answer(st.echo && st.verbose);
  }
  if (equalsNoCase(name, "escape")) {
    if (m.reset) resetFrom("BackslashEscapes", st.escape);
    else applyMarks(m, st.escape, c.escape);
    if (st.escape && (m.reset || m.on)) st.autoexec = false;
    return answer(st.escape);
  }
  if (equalsNoCase(name, "expression")) {
    if (m.reset) resetFrom("FlowControlUsesExpression", st.expression);
    else applyMarks(m, st.expression, c.expression);
    return answer(st.expression);
  }
  if (equalsNoCase(name, "preprocessor")) {
    if (m.reset) {
      resetFrom("EnablePreprocessor", st.preprocessor);
      if (m.on) st.preprocessor = true;
      else if (m.off) st.preprocessor = false;
    } else {
      applyMarks(m, st.preprocessor, c.preprocessor);
    }
    return answer(st.preprocessor);
  }
  if (equalsNoCase(name, "stacktrace")) {
    if (st.cgi) return OK;
    if (m.reset) resetFrom("StackTrace", st.stacktrace);
    else applyMarks(m, st.stacktrace, c.stacktrace);
    return answer(st.stacktrace);
  }
  if (equalsNoCase(name, "breakpoint")) {
    if (st.cgi) return OK;
    if (m.reset) st.breakpoint = true;
    else applyMarks(m, st.breakpoint, c.breakpoint);
    if (st.breakpoint) {
      st.echo = true;
      st.stacktrace = true;
    }
    return answer(st.breakpoint);
  }
  in.result = argv[0] + ": Unknown option '" + name + "'\r\n";
  reportErrorText(in, in.result);
  return ERROR;
}

int orvelCommandDebug(Interp& in, Args& argv, void*) {
  ProcessState& st = ps();
  if (argv.size() >= 2 && equalsNoCase(argv[1], "print")) {
    if (st.ndebug) return OK;
    std::string text;
    for (size_t i = 2; i < argv.size(); i++) {
      if (i > 2) text += ' ';
      text += argv[i];
    }
    if (st.escape) text = convert_escapes(text);
    plat::writeOut(text + "\r\n");
    return OK;
  }
  bool quiet = false;
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-quiet") {
      quiet = true;
    } else if (w == "ON") {
      st.debug = true;
      quiet = true;
    } else if (w == "OFF") {
      st.debug = false;
      quiet = true;
    }
  }
  if (!quiet) plat::writeOut(st.debug ? "Debug is ON\r\n" : "Debug is OFF\r\n");
  in.result = st.debug ? "1" : "0";
  return OK;
}

const CommandRegistrar kRegs[] = {{"option", orvelCommandOption}, {"debug", orvelCommandDebug}};

}  // namespace

}  // namespace orvel
