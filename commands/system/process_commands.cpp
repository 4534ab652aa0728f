// Starting other programs: exec (also @), shell, spawn, elevate and
// autoexec, and pipe, which chains commands by handing each result on.
#include <exception>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "platform/console.h"
#include "platform/process.h"
#include "support/config.h"

namespace orvel {

namespace {

constexpr const char* kProgramName = "Orvel";

// With backslash escapes on: \r \n \t become their characters, any other
// backslash pair the character after the backslash.
std::string convertEscapes(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      char c = s[++i];
      out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
    } else {
      out += s[i];
    }
  }
  return out;
}


// Keeps the console title across a child that may change it.
struct TitleKeeper {
  std::string title;
  bool have;
  TitleKeeper() : have(plat::getTitle(title)) {}
  ~TitleKeeper() {
    if (have) plat::setTitle(title);
  }
  TitleKeeper(const TitleKeeper&) = delete;
  TitleKeeper& operator=(const TitleKeeper&) = delete;
};

void shellBanner() {
  plat::writeOut(strprintf("Type EXIT to exit the shell and return to %s\r\n\r\n", kProgramName));
}

// exec and @; also called by the evaluator for an unknown command while
// autoexec is on, with that command's words.
int orvelCommandExec(Interp& in, Args& argv, void*) {
  bool asExec = !argv.empty() && argv[0] == "exec";
  if (argv.empty() || (asExec && argv.size() < 2)) return wrongNumArgs(in, argv);
  std::string line;
  const size_t from = asExec ? 1 : 0;
  for (size_t i = from; i < argv.size(); i++) {
    if (i > from) line += ' ';
    line += argv[i];
  }
  if (ps().escape) line = convertEscapes(line);
  if (argv.size() == 1 && argv[0] == "@") {
    static bool bannerShown = false;
    if (!bannerShown) shellBanner();
    bannerShown = true;
  }
  int code = 0;
  bool started;
  {
    TitleKeeper title;
    started = plat::runCommandLine(line, code);
  }
  if (!started) {
    in.result.clear();
    return ERROR;
  }
  in.result = intText(code);
  return OK;
}

int orvelCommandShell(Interp& in, Args& argv, void*) {
  std::string line;
  for (size_t i = 1; i < argv.size(); i++) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  if (argv.size() < 2) shellBanner();
  int code = 0;
  if (!plat::runInteractiveShell(line, code)) {
    in.result.clear();
    return ERROR;
  }
  in.result = "0";
  return OK;
}

int orvelCommandSpawn(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  const std::string name = argv[1];
  bool echo = false, noWait = false;
  size_t i = 2;
  for (int k = 0; k < 2 && i < argv.size(); k++) {
    if (argv[i] == "-echo") echo = true;
    else if (argv[i] == "-nowait") noWait = true;
    else break;
    i++;
  }
  if (i >= argv.size()) return wrongNumArgs(in, argv);
  std::vector<std::string> words(argv.begin() + static_cast<long>(i), argv.end());
  if (ps().escape)
    for (std::string& w : words) w = convertEscapes(w);
  std::string output;
  plat::SpawnResult res;
  {
    TitleKeeper title;
    res = plat::spawnCaptured(words, noWait, [&](const char* data, size_t n) {
      output.append(data, n);
      if (echo) plat::writeOut(std::string_view(data, n));
    });
  }
  if (!res.started) {
    in.result.clear();
    if (res.pipeFailed)
      return fail(in, "%s: Failed to create a pipe (%s)", argv[0].c_str(), res.error.c_str());
    reportErrorText(in, strprintf("%s: Error creating child process for:\n'%s'\r\nCommand:'%s'\r\n",
                                  argv[0].c_str(), words[0].c_str(), res.commandLine.c_str()));
    if (ps().verbose || ps().debug)
      plat::writeOut(strprintf("%s: Try prefixing the command with: cmd.exe /c or $::env(COMSPEC) /c\r\n",
                               argv[0].c_str()));
    return ERROR;
  }
  bool toResult = !name.empty() && name[0] == '-';
  if (output.empty()) {
    if (toResult) {
      in.result.clear();
      return OK;
    }
    int code = set_var(in, name, "");
    in.result = "0";
    return code;
  }
  std::string escaped = escapedForScript(output);
  output.clear();
  output.shrink_to_fit();
  if (toResult) {
    in.result = std::move(escaped);
    return OK;
  }
  int code = set_var(in, name, escaped);
  in.result = intText(static_cast<int64_t>(escaped.size()));
  return code;
}

// Words of a segment, split at spaces.
std::vector<std::string> spaceWords(std::string_view s) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == ' ') i++;
    size_t start = i;
    while (i < s.size() && s[i] != ' ') i++;
    if (i > start) out.emplace_back(s.substr(start, i - start));
  }
  return out;
}

// A result as one literal word of a script text: braced when it holds
// blanks or characters the evaluator would substitute, escaped when its
// braces do not pair; nothing for an empty result.
std::string asOneWord(const std::string& s) {
  if (s.find_first_of(" \t\r\n$[]{}\\\";") == std::string::npos) return s;
  int depth = 0;
  bool paired = s.back() != '\\';
  for (size_t i = 0; i < s.size() && paired; i++) {
    if (s[i] == '\\') i++;
    else if (s[i] == '{') depth++;
    else if (s[i] == '}' && --depth < 0) paired = false;
  }
  if (paired && depth == 0) return "{" + s + "}";
  return escapedForScript(s);
}

int orvelCommandPipe(Interp& in, Args& argv, void*) {
  std::string all;
  for (size_t i = 1; i < argv.size(); i++) {
    if (i > 1) all += ' ';
    all += argv[i];
  }
  try {
    size_t start = 0;
    while (start <= all.size()) {
      size_t comma = all.find(',', start);
      std::string_view segment = std::string_view(all).substr(start, comma == std::string::npos ? std::string::npos : comma - start);
      start = comma == std::string::npos ? all.size() + 1 : comma + 1;
      std::vector<std::string> words = spaceWords(segment);
      if (words.empty()) continue;
      // The previous result goes in as one word (nothing when it is empty).
      std::string cmd = words[0] + " " + asOneWord(in.result);
      for (size_t k = 1; k < words.size(); k++) cmd += " " + words[k];
      while (!cmd.empty() && cmd.back() == ' ') cmd.pop_back();
      int code = orvelEval(in, cmd);
      if (code != OK) return code;
    }
  } catch (const std::exception&) {
    return fail(in, "%s: Exception in expression", argv[0].c_str());
  }
  return OK;
}

int orvelCommandElevate(Interp& in, Args& argv, void*) {
  if (plat::runsElevated()) {
    in.result = "1";
    return OK;
  }
  std::string params;
  auto add = [&](const std::string& a) {
    if (a.empty()) return;
    std::string part = "\"" + a + "\" ";
    if (params.size() + part.size() <= 2048) params += part;
  };
  if (argv.size() > 1) {
    for (size_t i = 1; i < argv.size(); i++) add(argv[i]);
  } else if (!ps().scriptName.empty()) {
    add(ps().scriptName);
  }
  in.result = plat::startElevated(params) ? "1" : "0";
  return OK;
}

int orvelCommandAutoexec(Interp&, Args& argv, void*) {
  if (argv.size() == 2) {
    if (equalsNoCase(argv[1], "ON")) {
      ps().autoexec = true;
    } else {
      ps().autoexec = false;
      bool b;
      if (configBool("BackslashEscapes", b)) ps().escape = b;
    }
    return OK;
  }
  plat::writeOut(ps().autoexec ? "Autoexec is ON\r\n" : "Autoexec is OFF\r\n");
  return OK;
}

const CommandRegistrar kRegistrations[] = {
    {"exec", orvelCommandExec},       {"@", orvelCommandExec},          {"shell", orvelCommandShell},
    {"spawn", orvelCommandSpawn},     {"pipe", orvelCommandPipe},       {"elevate", orvelCommandElevate},
    {"autoexec", orvelCommandAutoexec},
};

}  // namespace

}  // namespace orvel
