// The interactive command line (cli), one-line questions (prompt) and the
// file and text dialogs.
#include "commands/system/prompt_editor.h"
#include "interp/interp.h"
#include "platform/console.h"
#include "platform/dialogs.h"
#include "platform/system.h"

namespace orvel {

namespace {

// Shows text and reads one line; false at the end of input.
bool ask(const std::string& text, std::string& line) {
  plat::writeOut(text);
  plat::flushOut();
  return plat::readLine(line);
}

// True when the text leaves no brace, bracket or quote open, so the command
// is complete and may be run.
bool complete(const std::string& s) {
  int braces = 0, brackets = 0;
  bool quoted = false;
  for (size_t i = 0; i < s.size(); i++) {
    char c = s[i];
    if (c == '\\') {
      if (i + 1 == s.size()) return false;  // line continues
      i++;
      continue;
    }
    if (braces == 0 && c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '{') braces++;
    if (c == '}' && braces > 0) braces--;
    if (braces == 0 && c == '[') brackets++;
    if (braces == 0 && c == ']' && brackets > 0) brackets--;
  }
  return braces == 0 && brackets == 0 && !quoted;
}

// Expands the prompt template: $u user, $h host, $p current procedure
// level, $g ">", $$ a dollar sign; other text is shown as it stands.
std::string promptText(Interp& in, const std::string& tmpl) {
  std::string out;
  for (size_t i = 0; i < tmpl.size(); i++) {
    if (tmpl[i] != '$' || i + 1 == tmpl.size()) {
      out += tmpl[i];
      continue;
    }
    char c = tmpl[++i];
    if (c == 'u') out += plat::userName();
    else if (c == 'h') out += plat::hostName();
    else if (c == 'p') out += std::to_string(frameLevel(in));
    else if (c == 'g') out += '>';
    else if (c == '$') out += '$';
    else {
      out += '$';
      out += c;
    }
  }
  return out;
}

// cli ?template?: reads commands from standard input and runs them until
// the end of input or an exit, printing each non-empty result. The result
// is that of the last command.
int orvelCommandCli(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  std::string tmpl = argv.size() == 2 ? argv[1] : std::string("$u@$h$g ");
  bool interactive = plat::stdinIsTerminal();
  std::unique_ptr<plat::LineEditor> editor = openPromptEditor(in);
  std::string last;
  for (;;) {
    std::string command, line;
    bool more = true;
    do {
      more = editor->readLine(interactive ? (command.empty() ? promptText(in, tmpl) : std::string("> ")) : std::string(),
                              line);
      if (!more) break;
      editor->addHistory(line);
      if (!command.empty()) command += '\n';
      command += line;
    } while (!complete(command));
    if (!more && command.empty()) break;
    int code = orvelEval(in, command);
    if (code == EXIT || code == STOP) {
      return code == EXIT ? EXIT : OK;
    }
    if (code == OK && !in.result.empty()) plat::writeOut(in.result + "\n");
    last = in.result;
    if (!more) break;
  }
  if (interactive) plat::writeOut("\n");
  in.result = last;
  return OK;
}

// prompt ?text? ?default?: shows the text and answers the line typed; at
// the end of input the default, or an error when none is given.
int orvelCommandPrompt(Interp& in, Args& argv, void*) {
  if (argv.size() > 3) return wrongNumArgs(in, argv);
  std::string line;
  if (ask(argv.size() >= 2 ? argv[1] : std::string("? "), line)) {
    in.result = line;
    return OK;
  }
  if (argv.size() == 3) {
    in.result = argv[2];
    return OK;
  }
  return fail(in, "%s: End of input", argv[0].c_str());
}

// inputbox text ?title? ?default?: asks for a line, in a dialog box where
// there are dialogs (the field holds the default), else on the console; an
// empty answer gives the default, a cancelled dialog or the end of input an
// empty result.
int orvelCommandInputbox(Interp& in, Args& argv, void*) {
  if (argv.size() < 2 || argv.size() > 4) return wrongNumArgs(in, argv);
  if (plat::dialogsAvailable()) {
    std::string answer;
    std::string initial = argv.size() == 4 ? argv[3] : std::string();
    plat::DialogOutcome r =
        plat::askTextDialog(argv.size() >= 3 ? argv[2] : std::string(), argv[1], initial, answer);
    if (r != plat::DialogOutcome::Unavailable) {
      if (r == plat::DialogOutcome::Cancelled) answer.clear();
      else if (answer.empty()) answer = initial;
      in.result = answer;
      return OK;
    }
  }
  std::string question;
  if (argv.size() >= 3 && !argv[2].empty()) question = argv[2] + ": ";
  question += argv[1];
  if (argv.size() == 4 && !argv[3].empty()) question += " [" + argv[3] + "]";
  question += " ";
  std::string line;
  if (!ask(question, line)) line.clear();
  if (line.empty() && argv.size() == 4) line = argv[3];
  in.result = line;
  return OK;
}

// get_fileopen / get_filesave / get_folder ?title? ?initial?: asks for a
// path, in the system's file or folder dialog where there are dialogs,
// else on the console. A cancelled dialog gives an empty result; on the
// console an empty answer gives the initial path and the end of input an
// empty result.
int orvelCommandGetPath(Interp& in, Args& argv, void*) {
  if (argv.size() > 3) return wrongNumArgs(in, argv);
  if (plat::dialogsAvailable()) {
    std::string title = argv.size() >= 2 ? argv[1] : std::string();
    std::string initial = argv.size() == 3 ? argv[2] : std::string();
    std::string path;
    plat::DialogOutcome r = argv[0] == "get_folder"     ? plat::askFolderDialog(title, initial, path)
                            : argv[0] == "get_filesave" ? plat::askSaveFileDialog(title, initial, path)
                                                        : plat::askOpenFileDialog(title, initial, path);
    if (r != plat::DialogOutcome::Unavailable) {
      in.result = r == plat::DialogOutcome::Chosen ? path : std::string();
      return OK;
    }
  }
  std::string title;
  if (argv.size() >= 2 && !argv[1].empty()) title = argv[1];
  else if (argv[0] == "get_folder") title = "Folder";
  else if (argv[0] == "get_filesave") title = "Save as";
  else title = "Open file";
  if (argv.size() == 3 && !argv[2].empty()) title += " [" + argv[2] + "]";
  std::string line;
  if (!ask(title + ": ", line)) line.clear();
  if (line.empty() && argv.size() == 3) line = argv[2];
  in.result = line;
  return OK;
}

const CommandRegistrar reg[] = {
    {"cli", orvelCommandCli},
    {"prompt", orvelCommandPrompt},
    {"inputbox", orvelCommandInputbox},
    {"get_fileopen", orvelCommandGetPath},
    {"get_filesave", orvelCommandGetPath},
    {"get_folder", orvelCommandGetPath},
};

}  // namespace

}  // namespace orvel
