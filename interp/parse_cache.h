// Token lists of script texts, kept so that a text evaluated again (a loop
// body, a procedure body, a condition) is not tokenized again. A cached
// list replays exactly the tokens the tokenizer produced for the text.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "interp/tokenizer.h"

namespace orvel {

struct CachedToken {
  int type;
  uint32_t start, len;      // token text, as offsets into the cached text
  uint32_t subStart, subLen;
  uint32_t posAfter;        // scan position after the token
  bool hasSubscript;
  bool inQuotesAfter;
};

struct TokenList {
  std::string text;
  std::vector<CachedToken> tokens;  // ends with PT_EOF, or at a parse error
  bool parseError = false;
  uint32_t errorStart = 0, errorPos = 0;
};

// The token list for a text, or nullptr when the text is not worth caching.
std::shared_ptr<const TokenList> cachedTokens(std::string_view text);
void clearParseCache();

// Feeds a Parser from a cached list; switches to live tokenizing when the
// evaluator moved the parser itself (a struct member after a subscript).
class TokenSource {
 public:
  TokenSource(Parser& p, std::shared_ptr<const TokenList> list);
  int next();
  const char* base() const { return base_; }

 private:
  Parser& p_;
  std::shared_ptr<const TokenList> list_;
  const char* base_;
  size_t index_ = 0;
  const char* expectedPos_;
  bool live_;
};

}  // namespace orvel
