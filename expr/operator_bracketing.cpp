// The operator bracketing pass: inserts parentheses into infix text so that
// the left-to-right evaluators give `*`, `/` and `**` precedence over `+`
// and `-`, and make `&&` and `||` bind loosest.
//   1 + 2 * 3     ->  1 +( 2 * 3)
//   a && b || c   ->  ((a )&&( b ))||( c)
// Command substitutions, braced text and quoted strings pass through
// untouched.
#include <string>
#include <vector>

#include "expr/expression.h"
#include "expr/expression_text.h"
#include "interp/process_state.h"
#include "platform/console.h"

namespace orvel {

namespace {

constexpr int kMaxDepth = 200;        // nesting of parentheses followed
constexpr size_t kMaxTokens = 2000;   // tokens per parenthesis level
constexpr long long kSiteInner = 91061;

constexpr int kImproper = 1;
constexpr int kTooComplex = 2;

inline bool isOperandStart(char c) { return isAsciiAlnum(c) || c == '$' || c == ':'; }
inline bool isOperandRun(char c) { return isAsciiAlnum(c) || c == '.' || c == '$' || c == ':' || c == '_'; }

// A run of three or more '+'/'-' outside substitutions, braces and quotes.
bool hasImproperSigns(std::string_view text) {
  int run = 0;
  for (size_t i = 0; i < text.size(); i++) {
    char c = text[i];
    if (c == '[' || c == '{' || c == '"') {
      i = skipRegion(text, i) - 1;
      run = 0;
      continue;
    }
    if (c == '+' || c == '-') {
      if (++run >= 3) return true;
    } else {
      run = 0;
    }
  }
  return false;
}

// The positions of the && and || operators outside parentheses,
// substitutions, braces and quotes.
std::vector<size_t> logicalOperators(std::string_view text) {
  std::vector<size_t> at;
  int depth = 0;
  for (size_t i = 0; i < text.size(); i++) {
    char c = text[i];
    if (c == '[' || c == '{' || c == '"') {
      i = skipRegion(text, i) - 1;
      continue;
    }
    if (c == '(') {
      depth++;
    } else if (c == ')') {
      depth--;
    } else if ((c == '&' || c == '|') && i + 1 < text.size() && text[i + 1] == c && depth == 0) {
      at.push_back(i);
      i++;
    }
  }
  return at;
}

// True when text, without surrounding blanks, is one parenthesised group.
bool isOneGroup(std::string_view text) {
  size_t a = text.find_first_not_of(' ');
  if (a == std::string_view::npos || text[a] != '(') return false;
  size_t b = text.find_last_not_of(' ');
  return matchingClose(text, a, '(', ')') == b;
}

void appendGroup(std::string& out, std::string_view operand) {
  if (isOneGroup(operand)) {
    out.append(operand);
    return;
  }
  out += '(';
  out.append(operand);
  out += ')';
}

// Wraps the operands of && and || in parentheses, left to right:
// a && b || c becomes ((a )&&( b ))||( c). Operands that already are one
// group are not wrapped again, so the pass can be repeated on its result.
std::string groupLogical(std::string_view original, const std::vector<size_t>& at) {
  std::string text(original);
  for (char& c : text)
    if (c == '\t') c = ' ';
  std::string acc;
  size_t start = 0;
  for (size_t k = 0; k <= at.size(); k++) {
    size_t end = k < at.size() ? at[k] : text.size();
    std::string_view operand = std::string_view(text).substr(start, end - start);
    if (k == 0) {
      acc.assign(operand);
    } else {
      std::string grouped;
      grouped.reserve(acc.size() + operand.size() + 6);
      appendGroup(grouped, acc);
      grouped.append(text, at[k - 1], 2);
      appendGroup(grouped, operand);
      acc = std::move(grouped);
    }
    start = end + 2;
  }
  return acc;
}

bool isOperatorToken(const std::string& t) {
  if (t.empty() || !charIn("+-*/^%&|!<>=,?~", t[0])) return false;
  return t.size() == 1 || !(isAsciiAlnum(t[1]) || t[1] == '$');
}

// Operands (and the tokens of '*' and '/') leave the grouping flag set.
bool keepsFlag(const std::string& t) {
  if (t.empty()) return false;
  char c = t[0];
  if (isAsciiAlnum(c) || c == '$' || c == '*' || c == '/') return true;
  return (c == '+' || c == '-') && t.size() > 1 && isAsciiAlnum(t[1]);
}

int bracketLevel(std::string& text, int depth);

int tokenize(std::string_view src, int depth, std::vector<std::string>& tokens) {
  size_t n = src.size();
  size_t i = 0;
  // True when a '+' or '-' here would be a sign: at the start of the text or
  // after an operator.
  auto signPosition = [&]() {
    for (size_t k = tokens.size(); k-- > 0;) {
      const std::string& t = tokens[k];
      if (t[0] == ' ') continue;
      return isOperatorToken(t);
    }
    return true;
  };
  while (i < n) {
    if (tokens.size() >= kMaxTokens) return kTooComplex;
    char c = src[i];
    char d = i + 1 < n ? src[i + 1] : '\0';
    if (c == '[' || c == '{' || c == '"') {
      size_t end = skipRegion(src, i);
      tokens.emplace_back(src.substr(i, end - i));
      i = end;
      continue;
    }
    if (c == '(') {
      size_t close = matchingClose(src, i, '(', ')');
      if (close == std::string_view::npos) {
        // Left unmatched, for the evaluator to report.
        tokens.emplace_back(src.substr(i));
        break;
      }
      std::string inner(src.substr(i + 1, close - i - 1));
      int code = bracketLevel(inner, depth + 1);
      if (code != 0) {
        if (code == kImproper)
          plat::writeOut(strprintf("aop@%lld: FATAL: Invalid +/- combination in '%s'\r\n", kSiteInner, inner.c_str()));
        return code;
      }
      if (!tokens.empty() && isAsciiAlpha(tokens.back()[0])) {
        std::string& call = tokens.back();
        call += '(';
        call += inner;
        call += ')';
      } else {
        tokens.emplace_back("(");
        if (!inner.empty()) tokens.push_back(std::move(inner));
        tokens.emplace_back(")");
      }
      i = close + 1;
      continue;
    }
    if (isOperandStart(c) || (c == '.' && isAsciiAlnum(d))) {
      size_t j = i + 1;
      while (j < n && isOperandRun(src[j])) j++;
      tokens.emplace_back(src.substr(i, j - i));
      i = j;
      continue;
    }
    if ((c == '+' || c == '-') && (isAsciiAlnum(d) || d == '$') && signPosition()) {
      size_t j = i + 1;
      while (j < n && isOperandRun(src[j])) j++;
      std::string operand;
      if (c == '-') operand = "-";
      operand.append(src.substr(i + 1, j - i - 1));
      tokens.push_back(std::move(operand));
      i = j;
      continue;
    }
    if ((c == '*' && d == '*') || (c == '<' && d == '<') || (c == '>' && d == '>') || (c == '&' && d == '&') ||
        (c == '|' && d == '|') || (charIn("+-*/^%&|!><", c) && d == '=')) {
      tokens.emplace_back(src.substr(i, 2));
      i += 2;
      continue;
    }
    if (isBlankOrTab(c)) {
      size_t j = i + 1;
      while (j < n && isBlankOrTab(src[j])) j++;
      tokens.emplace_back(j - i, ' ');
      i = j;
      continue;
    }
    // Operators and any other character stand for themselves.
    tokens.emplace_back(1, c);
    i++;
  }
  return tokens.size() > kMaxTokens ? kTooComplex : 0;
}

// Moves the tokens to the output, opening a group before the left operand
// of every '*', '/' or '**' that follows a '+' or '-'.
std::vector<std::string> groupPrecedence(std::vector<std::string>& tokens) {
  std::vector<std::string> out;
  out.reserve(tokens.size() + 8);
  bool grouped = false;
  for (std::string& t : tokens) {
    if (t == "*" || t == "/" || t == "**") {
      if (!grouped) {
        size_t k = out.size();
        int depth = 0;
        while (k > 0) {
          const std::string& b = out[k - 1];
          if (depth == 0 && (b == "+" || b == "-")) break;
          if (depth == 0 && b == ",") {
            k = 0;  // a list separator: the operand is already on its own
            break;
          }
          if (b == ")") depth++;
          else if (b == "(") depth--;
          k--;
        }
        if (k > 0) out.insert(out.begin() + static_cast<std::ptrdiff_t>(k), "(");
      }
      out.push_back(std::move(t));
      grouped = true;
      continue;
    }
    if (!keepsFlag(t)) grouped = false;
    out.push_back(std::move(t));
  }
  return out;
}

std::string joinTokens(const std::vector<std::string>& out) {
  std::string text;
  if (!out.empty()) {
    const std::string& f = out[0];
    if (f == "-" || (f.size() >= 2 && f[0] == '-' && (isAsciiAlnum(f[1]) || f[1] == '('))) text += '0';
  }
  int open = 0;
  for (const std::string& t : out) {
    if (t == "(") {
      open++;
    } else if (t == ")") {
      open--;
    } else if (t == "+" || t == "-" || t == ",") {
      // A group ends before the next '+' or '-', and never spans a list
      // separator.
      if (open > 0) text.append(static_cast<size_t>(open), ')');
      open = 0;
    }
    text += t;
  }
  if (open > 0) text.append(static_cast<size_t>(open), ')');
  return text;
}

int bracketLevel(std::string& text, int depth) {
  if (depth > kMaxDepth) return kTooComplex;
  if (text.find_first_of("+-&|") == std::string::npos) return 0;
  if (hasImproperSigns(text)) return kImproper;
  std::vector<size_t> logical = logicalOperators(text);
  std::string src = logical.empty() ? text : groupLogical(text, logical);
  std::vector<std::string> tokens;
  int code = tokenize(src, depth, tokens);
  if (code != 0) return code;
  std::vector<std::string> out = groupPrecedence(tokens);
  text = joinTokens(out);
  return 0;
}

}  // namespace

int bracket_operators(std::string& text) {
  std::string work = text;
  int code = bracketLevel(work, 0);
  if (code == 0) text = std::move(work);
  return code;
}

}  // namespace orvel
