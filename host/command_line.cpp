#include "host/command_line.h"

#include <string_view>

#include "interp/interp.h"

namespace hexbury {

void scanHostSwitches(int argc, char** argv, StartupConfig& cfg) {
  for (int i = 1; i < argc; i++) {
    std::string_view a = argv[i];
    if (orvel::equalsNoCase(a, "/debug")) cfg.debug = true;
    else if (orvel::equalsNoCase(a, "/echo")) cfg.echo = true;
    else if (orvel::equalsNoCase(a, "/config") || orvel::equalsNoCase(a, "/info")) cfg.show_config = true;
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
