#pragma once
#include <string_view>

// Wildcard match: '*' matches any run, '?' any one character; optionally
// without regard to case. Iterative, so long texts cannot exhaust the stack.
bool wildMatch(std::string_view pattern, std::string_view text, bool nocase = false);
