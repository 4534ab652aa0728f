// Helpers shared by the string commands: number and option reading, the
// -var look-up, ASCII character classes, searching and unescaping.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "interp/interp.h"

namespace orvel::strings {

// The longest text a command builds from a count or width given by the
// script (repeat counts, field widths, makestr lengths). Larger requests fail
// instead of exhausting memory.
constexpr int64_t kMaxBuiltLength = int64_t{1} << 28;

// A number argument: leading white space, an optional sign and decimal
// digits; anything else ends the number, and a text without digits is 0.
// Saturates at the 64-bit limits.
int64_t decimalArg(std::string_view s);

// ASCII ("C" locale) character classes and case conversion.
inline bool isUpperC(char c) { return c >= 'A' && c <= 'Z'; }
inline bool isLowerC(char c) { return c >= 'a' && c <= 'z'; }
inline bool isAlphaC(char c) { return isUpperC(c) || isLowerC(c); }
inline bool isDigitC(char c) { return c >= '0' && c <= '9'; }
inline bool isAlnumC(char c) { return isAlphaC(c) || isDigitC(c); }
inline bool isSpaceC(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline char lowerC(char c) { return isUpperC(c) ? static_cast<char>(c + ('a' - 'A')) : c; }
inline char upperC(char c) { return isLowerC(c) ? static_cast<char>(c - ('a' - 'A')) : c; }
inline bool sameChar(char a, char b, bool nocase) { return a == b || (nocase && lowerC(a) == lowerC(b)); }
void lowerInPlace(std::string& s);
void upperInPlace(std::string& s);

// Position of needle in hay at or after from (or the last one, for
// rfindText), optionally ignoring letter case; npos when absent. An empty
// needle is never found.
size_t findText(std::string_view hay, std::string_view needle, size_t from, bool nocase);
size_t rfindText(std::string_view hay, std::string_view needle, bool nocase);
// Position of the first (last) character of text that occurs in set.
size_t findInSet(std::string_view text, std::string_view set, bool nocase);
size_t rfindInSet(std::string_view text, std::string_view set, bool nocase);
// -1, 0 or 1 as a is before, equal to or after b in byte order (letters
// compared in lower case with nocase); a shorter text that begins the
// other comes first.
int compareTexts(std::string_view a, std::string_view b, bool nocase);
// text without the characters of set at its start (left) and/or end (right).
std::string_view trimSet(std::string_view text, std::string_view set, bool left, bool right);
bool startsWithText(std::string_view text, std::string_view prefix, bool nocase);
bool endsWithText(std::string_view text, std::string_view suffix, bool nocase);

// \r, \n and \t become CR, LF and tab; a backslash before any other
// character gives that character; a final lone backslash stays.
std::string unescapeText(std::string_view s);

// The words after the command name, split into positional words and the
// options named in `names` (matched exactly). The first `fixed` words are
// always positional, whatever they look like.
struct Words {
  std::vector<std::string*> pos;
  std::vector<std::string_view> seen;  // options present
  bool has(std::string_view option) const;
};
Words splitWords(Args& argv, size_t fixed, std::initializer_list<const char*> names);

// The value of a plain (scalar) variable. false when the variable is missing
// or of another kind.
bool plainValue(Interp& in, std::string_view name, std::string& out);
// Stores a new value into a plain variable (links are followed as `set`
// does); the interpreter result is left alone. false when it cannot be
// stored.
bool storePlain(Interp& in, const std::string& name, const std::string& value);

// The failure for a text built longer than kMaxBuiltLength.
int tooLong(Interp& in, const std::string& command, int64_t length);

// Stand-alone commands that `string` hands its words on to.
int orvelCommandLeft(Interp& in, Args& argv, void* pd);
int orvelCommandMids(Interp& in, Args& argv, void* pd);
int orvelCommandMatch(Interp& in, Args& argv, void* pd);
int orvelCommandSlice(Interp& in, Args& argv, void* pd);
int orvelCommandMap(Interp& in, Args& argv, void* pd);
int orvelCommandWchar_to_string(Interp& in, Args& argv, void* pd);

}  // namespace orvel::strings
