// The line editor of the interactive prompts (the orvel program's own
// prompt and the cli command): history in ~/.orvel_history and completion
// of command names.
#pragma once
#include <memory>

#include "interp/interp.h"
#include "platform/line_editor.h"

namespace orvel {

// Entries kept in the history file.
constexpr size_t kPromptHistoryLimit = 1000;

// An editor whose completion offers the interpreter's command names. The
// interpreter must outlive the editor.
std::unique_ptr<plat::LineEditor> openPromptEditor(Interp& in);

// The command names of the interpreter that begin with prefix, sorted.
std::vector<std::string> commandNamesStartingWith(Interp& in, const std::string& prefix);

}  // namespace orvel
