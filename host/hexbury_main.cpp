// The Hexbury program: reads its switches and hexbury.ini, prints the
// configuration report or the help screen when asked, and otherwise runs
// the signal-box simulation script kept inside the program.
#include <cstdlib>
#include <string>
#include <vector>

#include "commands/core/random_simple.h"
#include "host/at_exit.h"
#include "host/command_line.h"
#include "host/config_report.h"
#include "host/console_pager.h"
#include "host/embedded_script.h"
#include "host/help_text.h"
#include "host/ini_config.h"
#include "host/script_args.h"
#include "interp/exit_hook.h"
#include "interp/interp.h"
#include "interp/script_runner.h"
#include "platform/console.h"
#include "platform/host_support.h"
#include "platform/net.h"
#include "platform/system.h"
#include "preproc/preprocessor.h"
#include "support/config.h"
#include "support/mt19937.h"

using namespace orvel;

namespace {

struct Run {
  int argc;
  char** argv;
  int status = 0;
};

void seedRandomGenerators() {
  simpleRandSeed(static_cast<uint32_t>(plat::tickMs() * static_cast<uint64_t>(plat::systemTime().millisecond)));
  simpleRandSeed(static_cast<uint32_t>(mtRange(0, 32767)));
}

[[noreturn]] void endProcess(int status) {
  plat::flushOut();
  std::exit(status);
}

[[noreturn]] void show_help() {
  hexbury::page_lines(hexbury::help_lines, hexbury::kHelpLineCount, 16, true, true);
  plat::setTitle("Orvel");
  plat::sleepMs(20);
  plat::clearConsoleWindowIcons("Orvel");
  endProcess(0);
}

// A script that ends the process from its error handler still closes down
// the way a normal end does.
void exitFromScript(Interp& in) {
  int status = exitStatusFor(in, EXIT);
  hexbury::run_at_exit(in);
  plat::netCleanup();
  endProcess(status);
}

int runProgram(int argc, char** argv) {
  seedRandomGenerators();
  hexbury::StartupConfig cfg;
  hexbury::scanHostSwitches(argc, argv, cfg);
  switch (hexbury::checkArguments(argc, argv, cfg)) {
    case hexbury::ArgumentCheck::EmbeddedQuote:
      plat::writeOut("Syntax error: Embedded \" found. Don't end quoted paths with a \\ character\n");
      return 4;
    case hexbury::ArgumentCheck::TooManyParameters:
      plat::writeOut("Too many parameters");
      plat::writeOut(": use Hexbury /? for help\n");
      return 1;
    case hexbury::ArgumentCheck::Help:
      show_help();
    case hexbury::ArgumentCheck::Ok:
      break;
  }

  Interp in;
  orvelInitInterp(in);
  orvelRegisterCoreCommands(in, false);
  std::string text = hexbury::joinScriptPieces();

  cfg.user_folder = hexbury::prepareUserFolder();
  cfg.exe_folder = hexbury::executableFolder();
  cfg.ini_path = hexbury::locateIni(cfg.exe_folder, cfg.user_folder);
  hexbury::readConfiguration(cfg);
  // The interpreter's own switches are reset from the same file.
  configLoadIni(cfg.ini_path);

  if (cfg.show_config || cfg.debug) {
    hexbury::printConfigReport(cfg);
    if (!cfg.debug) return 0;
  }

  std::vector<std::string> list = hexbury::buildScriptArguments(argc, argv, cfg);
  orvelSetStartupVars(in, &list);

  if (preprocess_script(in, &text, "", true, true) <= 0) return 1;
  convert_radix_literals(text);

  if (!plat::netStartup()) {
    plat::writeOut(strprintf("WSAStartup() socket library failed with error %d", plat::socketStartupError()));
    return 1;
  }

  int status = 0;
  if (cfg.echo) {
    plat::writeOut(text + "\n");
  } else {
    setExitHook(exitFromScript);
    int code = orvelEval(in, text);
    if (code == EXIT) status = exitStatusFor(in, code);
  }
  hexbury::run_at_exit(in);
  plat::netCleanup();
  return status;
}

void runMain(void* p) {
  Run& r = *static_cast<Run*>(p);
  r.status = runProgram(r.argc, r.argv);
  plat::flushOut();
}

}  // namespace

int main(int argc, char** argv) {
  Run r{argc, argv};
  plat::runWithLargeStack(size_t(512) << 20, runMain, &r);
  return r.status;
}
