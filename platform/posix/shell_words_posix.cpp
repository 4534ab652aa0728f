#include <algorithm>
#include <string_view>

#include "platform/shell_words.h"

namespace plat {

std::vector<std::string> shellCommandWords(const std::string& line) { return {"/bin/sh", "-c", line}; }

namespace {

bool plainChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '.' ||
         c == '_' || c == ',' || c == ':' || c == '+' || c == '@' || c == '%' || c == '-' || c == '=';
}

// Names the shell answers itself (keywords and built-ins), which a
// program of the same name on the search path would not.
bool shellOwnName(std::string_view w) {
  static constexpr std::string_view kNames[] = {
      "alias", "bg",     "break", "case",   "cd",     "chdir",  "command", "continue", "do",    "done",
      "echo",  "elif",   "else",  "esac",   "eval",   "exec",   "exit",    "export",   "false", "fc",
      "fg",    "fi",     "for",   "getopts", "hash",  "if",     "in",      "jobs",     "kill",  "local",
      "printf", "pwd",   "read",  "readonly", "return", "set",  "shift",   "test",     "then",  "times",
      "trap",  "true",   "type",  "ulimit", "umask",  "unalias", "unset",  "until",    "wait",  "while",
      "source", "let",   "select", "function", "time", "declare", "typeset", "builtin", "enable", "help",
      "history", "logout", "popd", "pushd", "dirs", "disown", "suspend", "shopt", "caller", "mapfile",
      "readarray", "coproc", "compgen", "complete", "compopt", "bind", "newgrp"};
  return std::find(std::begin(kNames), std::end(kNames), w) != std::end(kNames);
}

}  // namespace

std::vector<std::string> plainCommandWords(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t') {
      i++;
      continue;
    }
    size_t end = i;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') {
      if (!plainChar(line[end])) return {};
      end++;
    }
    words.emplace_back(line, i, end - i);
    i = end;
  }
  if (words.empty() || words[0].find('=') != std::string::npos || shellOwnName(words[0])) return {};
  return words;
}

}  // namespace plat
