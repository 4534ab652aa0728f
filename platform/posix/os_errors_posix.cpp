// Error numbers and messages, the user's identifier and the active
// terminal (POSIX).
#include "platform/os_errors.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <type_traits>

namespace plat {

int64_t lastOsError() { return errno; }

std::string osErrorText(int64_t code) {
  if (code < INT_MIN || code > INT_MAX) return "Unknown error " + std::to_string(code);
  char buf[256];
  buf[0] = '\0';
  // The GNU strerror_r may answer a static text instead of filling buf.
  auto pick = [&](auto r) -> std::string {
    if constexpr (std::is_same_v<decltype(r), char*>) return r ? r : buf;
    else return r == 0 ? buf : "Unknown error " + std::to_string(code);
  };
  std::string text = pick(::strerror_r(static_cast<int>(code), buf, sizeof buf));
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

// There are no security identifiers here: the user number is given in the
// form the identifiers of Unix users take where the two meet ("S-1-22-1-"
// and the uid).
std::string userSid() { return "S-1-22-1-" + std::to_string(static_cast<unsigned long>(::getuid())); }

// A terminal cannot say whether its window has the focus: a program with a
// terminal counts as active, one without any as not.
int consoleIsActive() { return (::isatty(0) || ::isatty(1)) ? 1 : 0; }

}  // namespace plat
