// Helpers shared by the list commands: strict index reading and the
// element quoting forms that differ from the general building rule.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvel::lists {

// A whole word read as an integer: optional blanks around it, an optional
// sign, then decimal digits, or 0x/0b/0o/&h/&b followed by digits of that
// radix. False for anything else (empty text, trailing letters).
bool strictInt(std::string_view s, int64_t& out);

// A list index: an integer, or "end" / "end-N" / "end+N" (end in any case)
// counted from the last of count elements. False when the word is neither.
bool listIndex(std::string_view s, int64_t count, int64_t& out);
inline bool startsWithEnd(std::string_view s) {
  return s.size() >= 3 && (s[0] | 0x20) == 'e' && (s[1] | 0x20) == 'n' && (s[2] | 0x20) == 'd';
}

// Appends an element the way lappend, lrange, lmap and lreverse write them:
// empty as {}, braced when it holds a blank, tab, CR or LF (even when it
// begins with a brace), else as is.
void appendBraced(std::string& list, std::string_view element);

// How elements compare when sorted.
enum class SortKind { Text, Integer, Real };
// A stable sort of list elements; text compares byte by byte, or ignoring
// the case of ASCII letters with nocase.
void sortElements(std::vector<std::string>& items, SortKind kind, bool nocase, bool decreasing);

}  // namespace orvel::lists
