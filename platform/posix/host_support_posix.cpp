// Start-up services for POSIX systems.
#include <cerrno>
#include <cstdlib>

#include "platform/host_support.h"
#include "platform/system.h"

namespace plat {

std::string localAppDataFolder() {
  std::string v;
  // A relative XDG_DATA_HOME is invalid and is ignored.
  if (getEnv("XDG_DATA_HOME", v) && !v.empty() && v[0] == '/') {
    while (v.size() > 1 && v.back() == '/') v.pop_back();
    return v;
  }
  if (getEnv("HOME", v) && !v.empty()) {
    while (v.size() > 1 && v.back() == '/') v.pop_back();
    if (v == "/") return "/.local/share";
    return v + "/.local/share";
  }
  return {};
}

char pathSeparator() { return '/'; }

int socketStartupError() { return 0; }

void clearConsoleWindowIcons(const std::string&) {}

bool openFailureMayPass() {
  // There are no mandatory locks here; only a lack of descriptors or an
  // interrupted call is passing.
  return errno == EINTR || errno == EMFILE || errno == ENFILE || errno == EAGAIN;
}

}  // namespace plat
