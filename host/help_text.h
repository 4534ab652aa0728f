// The text of the help screen.
#pragma once
#include <cstddef>

namespace hexbury {

constexpr size_t kHelpLineCount = 107;
extern const char* const help_lines[kHelpLineCount];

}  // namespace hexbury
