// The words that make the system's command interpreter run one command
// line, for starting it with the capturing process functions.
#pragma once
#include <string>
#include <vector>

namespace plat {

// POSIX: /bin/sh -c LINE. Windows: the program COMSPEC names (cmd.exe when
// unset), /C, LINE.
std::vector<std::string> shellCommandWords(const std::string& line);

// POSIX: the words of a line the shell would run as one plain program
// with its arguments, so that starting that program directly gives the
// same result: only letters, digits, blanks and / . _ , : + @ % - and
// = (not in the first word); no quoting, expansion, redirection, comment
// or separator; and a first word that is no shell keyword or built-in.
// Empty when the line needs the shell.
std::vector<std::string> plainCommandWords(const std::string& line);

}  // namespace plat
