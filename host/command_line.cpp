#include "host/command_line.h"

#include <string_view>

namespace hexbury {

namespace {
bool sameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); i++) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}
}  // namespace

void scanHostSwitches(int argc, char** argv, StartupConfig& cfg) {
  for (int i = 1; i < argc; i++) {
    std::string_view a = argv[i];
    if (sameNoCase(a, "/debug")) cfg.debug = true;
    else if (sameNoCase(a, "/echo")) cfg.echo = true;
    else if (sameNoCase(a, "/config") || sameNoCase(a, "/info")) cfg.show_config = true;
  }
}

ArgumentCheck checkArguments(int argc, char** argv, StartupConfig& cfg) {
  for (int i = 1; i < argc; i++) {
    std::string_view a = argv[i];
    if (a.find('"') != std::string_view::npos) return ArgumentCheck::EmbeddedQuote;
    if (a.empty() || a.front() != '/') {
      if (cfg.positional.size() >= kMaxPositionals) return ArgumentCheck::TooManyParameters;
      cfg.positional.emplace_back(a);
    }
    if (a == "/?") return ArgumentCheck::Help;
  }
  return ArgumentCheck::Ok;
}

}  // namespace hexbury
