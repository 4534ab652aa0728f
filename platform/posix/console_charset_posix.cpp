// POSIX: the locale variables tell the terminal's character set.
#include <string>

#include "platform/console_charset.h"
#include "platform/system.h"

namespace plat {

bool consoleTextIsUtf8() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    std::string value;
    if (!getEnv(name, value) || value.empty()) continue;
    for (char& c : value) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return value.find("utf-8") != std::string::npos || value.find("utf8") != std::string::npos;
  }
  return false;
}

}  // namespace plat
