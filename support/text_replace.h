// Text replacement helpers.
#pragma once
#include <string>
#include <string_view>

// Replaces every occurrence of search in text by repl (left to right, not
// overlapping). true when anything was replaced; an empty search text
// replaces nothing. On failure the text is left unchanged.
bool replaceAll(std::string& text, std::string_view search, std::string_view repl);

// The same for a replacement not longer than the search text, done inside
// the text itself; the search ignores ASCII letter case when nocase is set.
// A longer replacement (or an empty search text) leaves the text unchanged
// and gives false.
bool replaceInPlace(std::string& text, std::string_view search, std::string_view repl,
                    bool nocase);
