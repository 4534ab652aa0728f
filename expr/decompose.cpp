// Decomposition of infix text into nested prefix commands:
//   $a + 1          ->  [+ $a 1]
//   1 +( 2 * 3)     ->  [+ 1 [* 2 3]]   (folded to 7 while folding is on)
//   sqrt($x) * 2    ->  [* [funct sqrt $x] 2]
// Operators apply strictly left to right; the bracketing pass has already
// put in the parentheses that precedence needs.
#include <string>
#include <vector>

#include "expr/expression.h"
#include "expr/expression_text.h"
#include "expr/function_table.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "platform/console.h"
#include "support/ascii_case.h"

namespace orvel {

namespace {

constexpr int kMaxDepth = 200;

inline bool isWordChar(char c) { return isAsciiAlnum(c) || c == '.' || c == '$' || c == ':' || c == '_'; }

void diagnostic(const char* what) {
  if (ps().debug) plat::writeOut(strprintf("%s: %s\r\n", "decompose_expression", what));
}

// The postfix form under construction. Operators apply left to right: an
// operator takes the operand before it (when it takes more than one) and
// waits for the rest; every completed operation is the operand of the
// operator waiting before it.
class Postfix {
 public:
  struct Item {
    std::string text;
    int arity = 0;  // 0 for operands
  };

  void operand(std::string text) {
    items_.push_back({std::move(text), 0});
    lastTaken_ = false;
    while (!open_.empty()) {
      if (--open_.back().need > 0) {
        lastTaken_ = true;  // a waiting ternary took it as one of its branches
        return;
      }
      items_.push_back({std::move(open_.back().op), open_.back().arity});
      open_.pop_back();
    }
  }

  void op(std::string text, int arity) {
    int need = arity;
    if (arity >= 2) {
      need = arity - 1;  // the operand before it is its first
      if (lastTaken_) open_.back().need++;
      lastTaken_ = false;
    }
    open_.push_back({std::move(text), arity, need});
  }

  bool ternaryOpen() const {
    for (const Open& o : open_)
      if (o.arity == 3) return true;
    return false;
  }
  bool complete() const { return open_.empty(); }
  const std::vector<Item>& items() const { return items_; }

 private:
  struct Open {
    std::string op;
    int arity;
    int need;
  };
  std::vector<Item> items_;
  std::vector<Open> open_;
  bool lastTaken_ = false;
};

// Prefix text of a postfix list; false when an operator lacks operands.
// single is set when the whole list made one expression.
bool toPrefix(const std::vector<Postfix::Item>& items, std::string& out, bool& single) {
  std::vector<std::string> stack;
  for (const Postfix::Item& it : items) {
    if (it.arity == 0) {
      stack.push_back(it.text);
      continue;
    }
    if (it.arity < 1 || it.arity > 3) {
      diagnostic("Unknown arity");
      return false;
    }
    if (stack.size() < static_cast<size_t>(it.arity)) {
      diagnostic("Not enough args");
      return false;
    }
    std::string call = "[";
    call += it.text;
    size_t first = stack.size() - static_cast<size_t>(it.arity);
    for (size_t k = first; k < stack.size(); k++) {
      call += ' ';
      call += stack[k];
    }
    call += ']';
    stack.resize(first);
    stack.push_back(std::move(call));
  }
  out.clear();
  for (size_t k = 0; k < stack.size(); k++) {
    if (k) out += ' ';
    out += stack[k];
  }
  single = stack.size() == 1;
  return true;
}

// Folding may evaluate a prefix text made only of constants, operators and
// math functions that always give the same value.
bool foldable(std::string_view text) {
  if (text.size() < 2 || text.front() != '[' || text.back() != ']') return false;
  if (matchingClose(text, 0, '[', ']') != text.size() - 1) return false;
  for (size_t i = 0; i < text.size();) {
    char c = text[i];
    if (charIn("0123456789.+-/*^()[]~!&|%<>=? \t", c)) {
      i++;
      continue;
    }
    if (text.substr(i, 6) != "funct ") return false;
    size_t j = i + 6;
    size_t start = j;
    while (j < text.size() && isAsciiAlnum(text[j])) j++;
    std::string_view name = text.substr(start, j - start);
    if (!findMathFunction(name) || equalsNoCase(name, "rand") || equalsNoCase(name, "rnd") ||
        equalsNoCase(name, "srand"))
      return false;
    i = j;
  }
  return true;
}

int decompose(Interp& in, std::string_view text, std::string& out, int depth);

// The comma at parenthesis depth 0 that splits a list of expressions.
std::vector<std::string_view> splitAtCommas(std::string_view text) {
  std::vector<std::string_view> parts;
  int depth = 0;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); i++) {
    char c = text[i];
    if (c == '[' || c == '{' || c == '"') {
      i = skipRegion(text, i) - 1;
      continue;
    }
    if (c == '(') depth++;
    else if (c == ')') depth--;
    else if (c == ',' && depth == 0) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (!parts.empty()) parts.push_back(text.substr(start));
  return parts;
}

int decomposeOne(Interp& in, std::string_view text, std::string& out, int depth) {
  // Quotes around the whole text are removed (not those of "a" eq "b").
  if (text.size() >= 2 && text.front() == '"' && skipRegion(text, 0) == text.size() && text.back() == '"')
    text = text.substr(1, text.size() - 2);
  Postfix postfix;
  bool expected = true;
  size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    char c = text[i];
    if (isBlankOrTab(c)) {
      i++;
      continue;
    }
    if (c == '[') {
      size_t close = matchingClose(text, i, '[', ']');
      if (close == std::string_view::npos) return 1;
      postfix.operand(std::string(text.substr(i, close + 1 - i)));
      expected = false;
      i = close + 1;
      continue;
    }
    if (expected && isAsciiAlnum(c)) {
      size_t j = i;
      while (j < n && (isAsciiAlnum(text[j]) || text[j] == '_')) j++;
      if (j < n && text[j] == '(' && findMathFunction(text.substr(i, j - i))) {
        size_t close = matchingClose(text, j, '(', ')');
        if (close == std::string_view::npos) return 1;
        std::string args;
        if (decompose(in, text.substr(j + 1, close - j - 1), args, depth + 1) != 0) return 1;
        std::string call = "[funct ";
        call.append(text.substr(i, j - i));
        if (!args.empty()) {
          call += ' ';
          call += args;
        }
        call += ']';
        postfix.operand(std::move(call));
        expected = false;
        i = close + 1;
        continue;
      }
    }
    if (c == '{' || c == '"') {
      size_t end = skipRegion(text, i);
      postfix.operand(std::string(text.substr(i, end - i)));
      expected = false;
      i = end;
      continue;
    }
    if (expected && (isAsciiAlpha(c) || charIn("+-.0123456789$_", c))) {
      std::string word;
      if (c != '+') word += c;
      size_t j = i + 1;
      if (c == '$' && j < n && text[j] == '{') {
        size_t close = matchingClose(text, j, '{', '}');
        size_t end = close == std::string_view::npos ? n : close + 1;
        word.append(text.substr(j, end - j));
        j = end;
      }
      while (j < n && isWordChar(text[j])) word += text[j++];
      if (j < n && text[j] == '(') {
        size_t close = matchingClose(text, j, '(', ')');
        if (close == std::string_view::npos) return 1;
        std::string inner;
        int code = decompose(in, text.substr(j + 1, close - j - 1), inner, depth + 1);
        if (code != 0) {
          if (ps().echo || ps().debug) {
            plat::writeOut(strprintf("MPP: Fatal error processing '%s' at line %lld (code %i)\r\n",
                                     std::string(text).c_str(), static_cast<long long>(ps().location), code));
            plat::writeOut(strprintf("MPP: Result was '%s'\r\n", inner.c_str()));
          }
          return 1;
        }
        word += '(';
        word += inner;
        word += ')';
        j = close + 1;
      }
      postfix.operand(std::move(word));
      expected = false;
      i = j;
      continue;
    }
    if (c == '(') {
      size_t close = matchingClose(text, i, '(', ')');
      if (close == std::string_view::npos) return 1;
      std::string inner;
      if (decompose(in, text.substr(i + 1, close - i - 1), inner, depth + 1) != 0) return 1;
      if (!inner.empty()) {
        postfix.operand(std::move(inner));
        expected = false;
      }
      i = close + 1;
      continue;
    }
    if (!expected && isWordChar(c)) {
      // eq, ne, lt, le, gt, ge followed by a blank are operators here too.
      std::string op;
      size_t skipped = 0;
      size_t len = isAsciiAlpha(c) ? read_operator(text, i, op, skipped) : 0;
      if (len == 0) {
        size_t j = i;
        while (j < n && isWordChar(text[j])) j++;
        std::string_view word = text.substr(i, j - i);
        i = j;
        if (word == ":" && postfix.ternaryOpen()) continue;  // it only separates the branches
        postfix.operand(std::string(word));
        continue;
      }
    }
    std::string op;
    size_t skipped = 0;
    size_t len = read_operator(text, i, op, skipped);
    int arity = len ? operator_arity(op) : 0;
    if (arity < 1 || arity > 3) {
      diagnostic("Unknown arity");
      return 1;
    }
    postfix.op(std::move(op), arity);
    expected = true;
    i += skipped + len;
  }
  if (!postfix.complete()) {
    diagnostic("Not enough args");
    return 1;
  }
  bool single = false;
  if (!toPrefix(postfix.items(), out, single)) return 1;
  if (single && decomposeFolding() && foldable(out)) {
    std::string inner = out.substr(1, out.size() - 2);
    std::string saved = std::move(in.result);
    in.result.clear();
    int code = orvelEval(in, inner);
    if (code != OK && code != RETURN) {
      reportError(in, "DecomposeExpression: Error %i: while optimising '%s' (Check /NEO /NES)\r\n", code, out.c_str());
      in.result = std::move(saved);
      out.clear();
      return 1;
    }
    out = std::move(in.result);
    in.result = std::move(saved);
  }
  return 0;
}

int decompose(Interp& in, std::string_view text, std::string& out, int depth) {
  out.clear();
  if (depth > kMaxDepth) return 1;
  std::vector<std::string_view> parts = splitAtCommas(text);
  if (parts.empty()) return decomposeOne(in, text, out, depth);
  for (std::string_view part : parts) {
    if (part.empty()) continue;
    std::string one;
    if (decomposeOne(in, part, one, depth) != 0) {
      out.clear();
      return 1;
    }
    if (one.empty()) continue;
    if (!out.empty()) out += ' ';
    out += one;
  }
  return 0;
}

}  // namespace

bool& decomposeFolding() {
  static bool folding = true;
  return folding;
}

int DecomposeExpression(Interp& in, std::string_view text, std::string& out) {
  if (text.empty() || !out.empty()) return 0;
  std::string result;
  if (decompose(in, text, result, 0) != 0) return 1;
  out = std::move(result);
  return 0;
}

}  // namespace orvel
