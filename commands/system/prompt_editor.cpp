// The line editor of the interactive prompts.
#include "commands/system/prompt_editor.h"

#include <algorithm>

namespace orvel {

std::vector<std::string> commandNamesStartingWith(Interp& in, const std::string& prefix) {
  std::vector<std::string> names;
  for (Command* c : orvelCommandList(in)) {
    if (c && c->name.compare(0, prefix.size(), prefix) == 0) names.push_back(c->name);
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::unique_ptr<plat::LineEditor> openPromptEditor(Interp& in) {
  plat::LineEditorOptions options;
  options.historyFile = plat::defaultHistoryFile();
  options.historyLimit = kPromptHistoryLimit;
  options.complete = [&in](const std::string& prefix) { return commandNamesStartingWith(in, prefix); };
  return plat::openLineEditor(options);
}

}  // namespace orvel
