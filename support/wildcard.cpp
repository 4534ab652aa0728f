#include "support/wildcard.h"

#include <cctype>

namespace {
inline bool same(char a, char b, bool nocase) {
  if (a == b) return true;
  return nocase && std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}
}  // namespace

bool wildMatch(std::string_view p, std::string_view t, bool nocase) {
  size_t pi = 0, ti = 0, starP = std::string_view::npos, starT = 0;
  while (ti < t.size()) {
    if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starT = ti;
    } else if (pi < p.size() && (p[pi] == '?' || same(p[pi], t[ti], nocase))) {
      pi++;
      ti++;
    } else if (starP != std::string_view::npos) {
      pi = starP + 1;
      ti = ++starT;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') pi++;
  return pi == p.size();
}
