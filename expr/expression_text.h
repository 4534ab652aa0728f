// Small text and number helpers shared by the expression engine's files.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace orvel {

inline bool isAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
inline bool isAsciiAlnum(char c) { return isAsciiAlpha(c) || isAsciiDigit(c); }
inline bool isBlankOrTab(char c) { return c == ' ' || c == '\t'; }
// True when c is one of the characters of set (never for the NUL character).
bool charIn(const char* set, char c);

// Index of the closer matching the opener at text[open] (nesting counted),
// or npos when the text ends first.
size_t matchingClose(std::string_view text, size_t open, char opener, char closer);
// Index just past the region that starts at text[i] when it is "[...]",
// "{...}" or a double-quoted string; i itself otherwise. Regions without an
// end run to the end of the text.
size_t skipRegion(std::string_view text, size_t i);

// Plain decimal conversion: leading white space, optional sign, decimal
// digits up to the first other character; no digits gives 0; wraps.
int64_t decimalValue(std::string_view s);
// Text-to-double conversion (leading white space skipped); 0 when the text
// does not start with a number.
double realValue(std::string_view s);
// A double as a 64-bit integer, truncated; values outside the range (and
// NaN) give the most negative integer, as the hardware conversion does.
int64_t doubleToInt64(double d);
// "%15.15f" of a real.
std::string realText(double d);

}  // namespace orvel
