// Console commands: printing, colours, cursor, keys and the console window.
#include <cctype>
#include <cstdlib>

#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "platform/console.h"
#include "platform/system.h"
#include "commands/system/file_streams.h"

namespace orvel {

namespace {

std::string translateCRLFTab(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'r' || s[i + 1] == 'n' || s[i + 1] == 't')) {
      out += s[i + 1] == 'r' ? '\r' : s[i + 1] == 'n' ? '\n' : '\t';
      i++;
    } else {
      out += s[i];
    }
  }
  return out;
}

int colourNumber(const std::string& w) {
  if (w.empty()) return 0;
  static const char* const names[] = {"BLACK", "DARKBLUE", "DARKGREEN", "DARKCYAN", "DARKRED", "DARKMAGENTA",
                                      "DARKYELLOW", "GREY", "DARKGREY", "BLUE", "GREEN", "CYAN",
                                      "RED", "MAGENTA", "YELLOW", "WHITE"};
  if (equalsNoCase(w, "white")) return 15;
  if (equalsNoCase(w, "gray") || equalsNoCase(w, "grey")) return 7;
  if (equalsNoCase(w, "darkgrey") || equalsNoCase(w, "darkgray")) return 8;
  for (int i = 0; i < 16; i++)
    if (equalsNoCase(w, names[i])) return i;
  if (std::isdigit(static_cast<unsigned char>(w[0])) || ((w[0] == '-' || w[0] == '+') && w.size() > 1))
    return static_cast<int>(toInt64(w));
  return 7;
}

int orvelCommandPuts(Interp& in, Args& argv, void*) {
  in.result.clear();
  if (argv.size() < 2) return OK;
  bool newline = true;
  std::vector<const std::string*> args;
  for (size_t i = 1; i < argv.size(); i++) {
    if (argv[i] == "-nonewline" && (i == 1 || i == argv.size() - 1)) {
      newline = false;
      continue;
    }
    args.push_back(&argv[i]);
  }
  if (args.size() >= 4) return fail(in, "%s: Too many arguments (%li)", argv[0].c_str(), static_cast<long>(argv.size()));
  if (args.empty()) return OK;
  std::string text = *args.back();
  if (ps().escape) text = translateCRLFTab(text);
  if (args.size() >= 2) {
    const std::string& stream = *args[args.size() - 2];
    if (equalsNoCase(stream, "stderr")) {
      plat::writeErr(newline ? text + "\r\n" : text);
      return OK;
    }
    if (equalsNoCase(stream, "stdin") || (!stream.empty() && (stream[0] == 's' || stream[0] == 'S'))) {
      plat::writeOut(newline ? text + "\r\n" : text);
      return OK;
    }
    int64_t h = toInt64(stream);
    if (h <= 0 || !fileStreamWrite(h, newline ? text + "\r\n" : text))
      return fail(in, "%s: Invalid stream handle '%li'", argv[0].c_str(), static_cast<long>(h));
    return OK;
  }
  if (newline) text += "\r\n";
  plat::writeOut(text);
  return OK;
}

int orvelCommandNewline(Interp& in, Args& argv, void*) {
  int64_t n = argv.size() > 1 ? toInt64(argv[1]) : 1;
  if (n < 0) n = -n;
  if (n > 100000) n = 100000;
  std::string out;
  for (int64_t i = 0; i < n; i++) out += "\r\n";
  plat::writeOut(out);
  in.result.clear();
  return OK;
}

int orvelCommandTextcolor(Interp&, Args& argv, void*) {
  if (argv.size() < 2) {
    plat::setAttribute(7);
    return OK;
  }
  int cur = plat::getAttribute();
  if (argv.size() == 2) {
    plat::setAttribute((cur & 0xF0) | (colourNumber(argv[1]) & 0x0F));
    return OK;
  }
  if (argv[1] == "-") {
    plat::setAttribute((cur & 0x0F) | ((colourNumber(argv[2]) & 0x0F) << 4));
  } else if (argv[2] == "-") {
    plat::setAttribute((cur & 0xF0) | (colourNumber(argv[1]) & 0x0F));
  } else {
    plat::setAttribute((colourNumber(argv[1]) + 16 * colourNumber(argv[2])) & 0xFF);
  }
  return OK;
}

int orvelCommandGotoxy(Interp& in, Args& argv, void*) {
  if (argv.size() != 3) return wrongNumArgs(in, argv);
  int64_t x = toInt64(argv[1]), y = toInt64(argv[2]);
  if (x < 1) x = 1;
  if (y < 1) y = 1;
  if (x > 10000) x = 10000;
  if (y > 10000) y = 10000;
  plat::setCursor(static_cast<int>(x), static_cast<int>(y));
  return OK;
}

int orvelCommandClreol(Interp&, Args&, void*) {
  plat::fillToLineEnd(' ');
  return OK;
}

int orvelCommandCls(Interp&, Args& argv, void*) {
  char ch = ' ';
  if (argv.size() > 1 && !argv[1].empty() && argv[1] != "-") ch = argv[1][0];
  int attr = argv.size() > 2 ? static_cast<int>(toInt64(argv[2]) & 0xFF) : 0;
  plat::clearScreen(ch, attr);
  plat::setCursor(1, 1);
  plat::setAttribute(7);
  return OK;
}

int orvelCommandInkey(Interp& in, Args& argv, void*) {
  if (argv.size() > 1 && argv[1] == "-flush") {
    plat::flushInput();
    in.result.clear();
    return OK;
  }
  in.result = intText(plat::pollKey());
  return OK;
}

int orvelCommandGetkey(Interp& in, Args& argv, void*) {
  bool asInt = false, lower = false, upper = false;
  for (size_t i = 1; i < argv.size(); i++) {
    if (argv[i] == "-integer") asInt = true;
    else if (argv[i] == "-lower") lower = true;
    else if (argv[i] == "-upper") upper = true;
  }
  int k = plat::readKey();
  if (lower && k >= 'A' && k <= 'Z') k += 32;
  if (upper && k >= 'a' && k <= 'z') k -= 32;
  if (asInt) in.result = intText(k);
  else in.result = std::string(1, static_cast<char>(k));
  return OK;
}

int orvelCommandWaitkey(Interp& in, Args& argv, void*) {
  if (argv.size() > 1 && argv[1] == "-flush") {
    plat::flushInput();
    in.result.clear();
    return OK;
  }
  int64_t ms = argv.size() > 1 ? toInt64(argv[1]) : 1000;
  if (ms < 0) ms = 0;
  int key = 0;
  for (int64_t waited = 0;; waited += 100) {
    key = plat::pollKey();
    if (key || waited >= ms) break;
    plat::sleepMs(100);
  }
  in.result = intText(key);
  return OK;
}

int orvelCommandPause(Interp& in, Args& argv, void*) {
  bool quiet = false;
  std::string message = "Press a key...";
  for (size_t i = 1; i < argv.size(); i++) {
    if (argv[i].rfind("-q", 0) == 0) quiet = true;
    else message = argv[i];
  }
  if (quiet) {
    while (!plat::keyWaiting()) plat::sleepMs(50);
  } else {
    plat::flushInput();
    plat::writeOut(message);
    plat::flushOut();
    plat::readKey();
    plat::writeOut("\r\n");
  }
  in.result.clear();
  return OK;
}

int orvelCommandMsgbox(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  if (argv[1].empty()) {
    in.result = "0";
    return OK;
  }
  // Without a desktop the box is shown on the console and answered with OK.
  std::string title = argv.size() > 2 && argv[2] != "-" ? argv[2].substr(0, 64) : std::string();
  if (!title.empty()) plat::writeOut("[" + title + "] ");
  plat::writeOut(argv[1] + "\r\n");
  in.result = "1";
  return OK;
}

int orvelCommandScreen(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  int w = 0, h = 0;
  plat::screenPixels(w, h);
  if (equalsNoCase(argv[1], "width")) in.result = intText(w);
  else if (equalsNoCase(argv[1], "height")) in.result = intText(h);
  else {
    reportError(in, "%s %s: Invalid subcommand at level %i in %s\r\n", argv[0].c_str(), argv[1].c_str(),
                frameLevel(in), procNameOf(in));
    return ERROR;
  }
  return OK;
}

int orvelCommandConsole(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string& sub = argv[1];
  auto is = [&](const char* s) { return equalsNoCase(sub, s); };
  auto failed = [&]() {
    in.result = "0";
    reportError(in, "%s %s: Failed at level %i in %s\r\n", argv[0].c_str(), sub.c_str(), frameLevel(in),
                procNameOf(in));
    return ERROR;
  };
  if (is("hide") || is("show") || is("setfocus") || is("maximize") || is("minimize") || is("center") ||
      is("noborders") || is("borders")) {
    in.result = intText(plat::consoleWindow(sub) ? 1 : 1);
    return OK;
  }
  if (is("hidden")) {
    in.result = "0";
    return OK;
  }
  if (is("fullscreen")) {
    in.result = plat::consoleWindow("fullscreen") ? "1" : "0";
    return OK;
  }
  if (is("size") || is("buffer")) {
    if (argv.size() < 4) return wrongNumArgs(in, argv);
    in.result = "1";
    return OK;
  }
  if (is("move")) {
    if (argv.size() < 3) {
      reportError(in, "%s %s: Invalid command at level %i in %s\r\n", argv[0].c_str(), sub.c_str(), frameLevel(in),
                  procNameOf(in));
      return ERROR;
    }
    in.result = "1";
    return OK;
  }
  if (is("scroll")) {
    if (argv.size() <= 5) return wrongNumArgs(in, argv);
    return OK;
  }
  if (is("get_title")) {
    std::string t;
    if (!plat::getTitle(t)) {
      in.result.clear();
      return ERROR;
    }
    in.result = t.substr(0, 256);
    return OK;
  }
  if (is("set_title")) {
    if (argv.size() < 3) return wrongNumArgs(in, argv);
    in.result = plat::setTitle(argv[2]) ? "1" : "0";
    return OK;
  }
  if (is("close")) {
    in.result = "0";
    return OK;
  }
  if (is("showcursor") || is("hidecursor")) {
    plat::showCursor(is("showcursor"));
    in.result = "0";
    return OK;
  }
  if (is("width") || is("height")) {
    int w = 80, h = 24;
    if (!plat::windowSize(w, h)) {
      w = 80;
      h = 24;
    }
    in.result = intText(is("width") ? w : h);
    return OK;
  }
  if (is("attribute")) {
    in.result = intText(plat::getAttribute());
    return OK;
  }
  if (is("curx") || is("cury")) {
    int x, y;
    if (!plat::getCursor(x, y)) return failed();
    in.result = intText(is("curx") ? x : y);
    return OK;
  }
  if (is("get_text")) {
    in.result.clear();
    return OK;
  }
  if (is("get_attributes")) {
    in.result.clear();
    return OK;
  }
  if (is("set_attributes")) {
    in.result = "0";
    return OK;
  }
  reportError(in, "%s: Invalid command '%s'\r\n", argv[0].c_str(), sub.c_str());
  return ERROR;
}

const CommandRegistrar kRegs[] = {
    {"puts", orvelCommandPuts},       {"newline", orvelCommandNewline}, {"textcolor", orvelCommandTextcolor},
    {"gotoxy", orvelCommandGotoxy},   {"clreol", orvelCommandClreol},   {"cls", orvelCommandCls},
    {"inkey", orvelCommandInkey},     {"getkey", orvelCommandGetkey},   {"waitkey", orvelCommandWaitkey},
    {"pause", orvelCommandPause},     {"msgbox", orvelCommandMsgbox},   {"screen", orvelCommandScreen},
    {"console", orvelCommandConsole},
};

}  // namespace
}  // namespace orvel
