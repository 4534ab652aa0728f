// The orvel program: runs a script file, a -c text, standard input, or an
// interactive prompt on a terminal.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "commands/system/prompt_editor.h"
#include "platform/console.h"
#include "platform/net.h"
#include "platform/system.h"

using namespace orvel;

namespace {

struct Run {
  int argc;
  char** argv;
  int status = 0;
};

bool readWholeFile(const std::string& path, std::string& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::ostringstream ss;
  ss << f.rdbuf();
  out = ss.str();
  return !f.bad();
}

// True when the text has balanced braces and brackets outside quotes, so the
// prompt knows a command is complete.
bool complete(const std::string& text) {
  int braces = 0, brackets = 0;
  bool quotes = false;
  for (size_t i = 0; i < text.size(); i++) {
    char c = text[i];
    if (c == '\\') {
      i++;
      continue;
    }
    if (c == '"' && braces == 0) quotes = !quotes;
    else if (c == '{' && !quotes) braces++;
    else if (c == '}' && !quotes && braces > 0) braces--;
    else if (c == '[' && braces == 0) brackets++;
    else if (c == ']' && braces == 0 && brackets > 0) brackets--;
  }
  return braces == 0 && brackets == 0 && !quotes;
}

int interactive(Interp& in) {
  ps().autoexec = true;
  // Lines are edited, recalled and completed where the terminal allows.
  std::unique_ptr<plat::LineEditor> editor = openPromptEditor(in);
  std::string pending, line;
  for (;;) {
    if (!editor->readLine(pending.empty() ? "% " : "> ", line)) break;
    editor->addHistory(line);
    pending += line;
    pending += '\n';
    if (!complete(pending)) continue;
    int code = orvelRunScriptText(in, pending);
    pending.clear();
    if (code == EXIT) return exitStatusFor(in, code);
    if (!in.result.empty()) plat::writeOut(in.result + "\r\n");
  }
  plat::writeOut("\r\n");
  return 0;
}

void runMain(void* p) {
  Run& r = *static_cast<Run*>(p);
  std::vector<std::string> list{"orvel"};
  std::string text;
  bool prompt = false;
  if (r.argc >= 2 && std::string(r.argv[1]) == "-c") {
    if (r.argc < 3) {
      plat::writeErr("orvel: -c needs a script text\r\n");
      r.status = 1;
      return;
    }
    text = r.argv[2];
    list.push_back("-c");
    for (int i = 3; i < r.argc; i++) list.push_back(r.argv[i]);
  } else if (r.argc >= 2) {
    std::string path = r.argv[1];
    if (!readWholeFile(path, text)) {
      plat::writeErr("orvel: Can't open file '" + path + "'\r\n");
      r.status = 1;
      return;
    }
    for (int i = 1; i < r.argc; i++) list.push_back(r.argv[i]);
  } else if (plat::stdinIsTerminal()) {
    prompt = true;
  } else {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }

  plat::netStartup();
  Interp in;
  ps().escape = true;
  ps().autoexec = false;
  orvelSetupInterp(in, &list);
  if (prompt) {
    r.status = interactive(in);
  } else {
    int prepExit = -1;
    int code = orvelRunScriptText(in, text, &prepExit);
    r.status = prepExit >= 0 ? prepExit : exitStatusFor(in, code);
  }
  plat::flushOut();
}

}  // namespace

int main(int argc, char** argv) {
  Run r{argc, argv};
  plat::runWithLargeStack(size_t(512) << 20, runMain, &r);
  return r.status;
}
