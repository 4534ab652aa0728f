// The words that make the system's command interpreter run one command
// line, for starting it with the capturing process functions.
#pragma once
#include <string>
#include <vector>

namespace plat {

// POSIX: /bin/sh -c LINE. Windows: the program COMSPEC names (cmd.exe when
// unset), /C, LINE.
std::vector<std::string> shellCommandWords(const std::string& line);

}  // namespace plat
