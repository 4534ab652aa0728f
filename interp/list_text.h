// Lists are strings: the one splitter and builder every command shares.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace orvel {

// Splits a list text into its elements and returns their count. Leading and
// trailing blanks are ignored; {...} and "..." group an element and lose
// their outer delimiters; no backslash processing. When quoteFollowedByEol
// is given it is set if a quoted element is followed directly by CR or LF.
int TclTokenised3(std::string_view text, std::vector<std::string>& out,
                  bool* quoteFollowedByEol = nullptr);

// Appends one element by the building rules: empty as {}, an element not
// beginning with { that holds a blank, tab, CR or LF wrapped in braces.
void listAppendElement(std::string& list, std::string_view element);
std::string listBuild(const std::vector<std::string>& elements);
std::string listQuote(std::string_view element);

}  // namespace orvel
