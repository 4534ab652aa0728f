// Cuts script text into tokens without copying or changing it: a token is a
// range of the caller's text plus a type.
#pragma once
#include <cstdint>
#include <string_view>

namespace orvel {

enum TokenType : int {
  PT_ESC = 0,
  PT_STR = 1,
  PT_CMD = 2,
  PT_VAR = 3,
  PT_SEP = 4,
  PT_EOL = 5,
  PT_EOF = 6,
  PT_FLOAT = 7,
  PT_NONE = 8,
  PT_EXPAND = 9,
  PT_UNKNOWN = 10,
};

struct Parser {
  const char* text = nullptr;  // start of the whole text
  const char* pos = nullptr;   // scan position
  int64_t remaining = 0;       // characters left from pos
  const char* start = nullptr; // first character of the token
  const char* end = nullptr;   // last character of the token (inclusive)
  int type = PT_EOL;
  bool inQuotes = false;
  bool hasSubscript = false;
  const char* subStart = nullptr;
  const char* subEnd = nullptr;
  int64_t subLen = 0;

  std::string_view token() const {
    if (!start || !end || end < start) return {};
    return std::string_view(start, static_cast<size_t>(end - start + 1));
  }
  std::string_view subscript() const {
    return subStart ? std::string_view(subStart, static_cast<size_t>(subLen)) : std::string_view();
  }
};

void parserInit(Parser& p, std::string_view text);
// 0 when a token was produced, 1 on a parse error.
int nextToken(Parser& p);

}  // namespace orvel
