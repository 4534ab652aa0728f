#include "platform/shell_words.h"

namespace plat {

std::vector<std::string> shellCommandWords(const std::string& line) { return {"/bin/sh", "-c", line}; }

}  // namespace plat
