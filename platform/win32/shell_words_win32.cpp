#include "platform/shell_words.h"
#include "platform/system.h"

namespace plat {

std::vector<std::string> shellCommandWords(const std::string& line) {
  std::string shell;
  if (!getEnv("COMSPEC", shell) || shell.empty()) shell = "cmd.exe";
  return {shell, "/C", line};
}

// cmd.exe is always asked: its own commands and quoting rules are many.
std::vector<std::string> plainCommandWords(const std::string&) { return {}; }

}  // namespace plat
