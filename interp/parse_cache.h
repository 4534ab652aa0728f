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
#include "interp/var_table.h"

namespace orvel {

struct CachedToken {
  int type;
  uint32_t start, len;      // token text, as offsets into the cached text
  uint32_t subStart, subLen;
  uint32_t posAfter;        // scan position after the token
  bool hasSubscript;
  bool inQuotesAfter;
};

class CommandTable;
struct Command;
struct Interp;
struct CompiledCommand;
struct TokenList;
// A command's operation run by the evaluator itself on its simple
// operands; false when the command's handler must run instead.
using FastFn = bool (*)(Interp&, const TokenList&, const CompiledCommand&);

// A command of a text with no parse error, {*} or struct member after a
// subscript, with its words cut into parts, so that it can be run without
// replaying tokens.
struct TokenList;

struct CompiledPart {
  int type;                 // PT_ESC/PT_STR literal, PT_VAR, PT_CMD
  uint32_t token;           // index into TokenList::tokens
  // PT_CMD: the bracketed text's own list, found on first use (the text of
  // a cached list never changes, so neither does this).
  mutable std::shared_ptr<const TokenList> sub;
  mutable bool noSub = false;  // the bracketed text is not cached
  // PT_VAR: $name with a plain name (letters, digits, _) and no subscript.
  bool plainVar = false;
  // PT_VAR without subscript whose name may be looked up directly: 1 in
  // the current frame (letters, digits, _ and . for struct members), 2 in
  // the global frame (the same after a leading ::).
  uint8_t varScope = 0;
  mutable VarLookupCache lookup;
};
struct CompiledWord {
  std::vector<CompiledPart> parts;
  // One literal part holding plain decimal text: its value.
  bool isInt = false;
  int64_t intValue = 0;
};

// Commands the evaluator may run itself, without building a call, when
// nothing watches the call (no trace, no single step) and the operands are
// plain decimal integers; anything else goes to the command's handler.
enum FastOp : uint8_t {
  FAST_NONE = 0,
  FAST_RELATION,   // < <= > >= == != with two operands
  FAST_ARITHMETIC, // + - * / % & | ^ with two operands
  FAST_INCREMENT,  // incr ++ decr -- of a plain variable name, optional step
  FAST_SET,        // set of an existing plain variable of this frame
  FAST_APPEND,     // append of one value to an existing plain variable
};

struct CompiledCommand {
  std::vector<CompiledWord> words;
  bool literalName = false;  // word 0 is one literal part
  // Word 1 is one literal part that is a plain variable name.
  bool plainNameArg = false;
  // Every word after the name is one literal part or one plain $name.
  bool simpleOperands = false;
  // Look-up cache of the command named by a literal word 0.
  mutable const CommandTable* table = nullptr;
  mutable uint64_t generation = 0;
  mutable Command* command = nullptr;
  mutable FastOp fastOp = FAST_NONE;  // found with command
  mutable FastFn fastFn = nullptr;    // with simple operands: fastOp's routine
  mutable char fastCode = 0;          // the operator: < ( <= ) > ( >= ) = ( == ) ! ( != ), + - * / % & | ^, i/d
  mutable VarLookupCache nameLookup;  // the variable word 1 names
};

struct TokenList {
  std::string text;
  bool compiled = false;  // commands below are valid
  std::vector<CompiledCommand> commands;
  std::vector<CachedToken> tokens;  // ends with PT_EOF, or at a parse error
  bool parseError = false;
  uint32_t errorStart = 0, errorPos = 0;
};

// The token list for a text, or nullptr when the text is not worth caching.
std::shared_ptr<const TokenList> cachedTokens(std::string_view text);
void clearParseCache();
// Puts a cached token into a parser as the tokenizer would have left it.
void loadToken(Parser& p, const TokenList& l, const CachedToken& t);

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
