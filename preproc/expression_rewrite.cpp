// After the text pass: every [calc ...] and {calc ...} becomes prefix
// commands, and the operators of every [expr ...] and {expr ...} are
// grouped by precedence, so that scripts do not parse infix text at run
// time.
#include "expr/expression.h"
#include "preproc/preprocessor.h"

namespace orvel {

namespace {

constexpr int kMaxNesting = 200;
constexpr size_t npos = std::string_view::npos;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (isBlank(s.front()) || s.front() == '\r' || s.front() == '\n')) s.remove_prefix(1);
  while (!s.empty() && (isBlank(s.back()) || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
  return s;
}

// The close matching the '[' or '{' at pos (same kind, nested, backslash
// escapes skipped), or npos.
size_t matchingClose(std::string_view t, size_t pos) {
  char open = t[pos], close = open == '[' ? ']' : '}';
  int64_t depth = 0;
  for (size_t k = pos; k < t.size(); k++) {
    char c = t[k];
    if (c == '\\') {
      k++;
    } else if (c == open) {
      depth++;
    } else if (c == close && --depth == 0) {
      return k;
    }
  }
  return npos;
}

// One pair of braces around the whole text is removed.
std::string_view withoutOuterBraces(std::string_view s) {
  if (s.size() >= 2 && s.front() == '{' && matchingClose(s, 0) == s.size() - 1) return s.substr(1, s.size() - 2);
  return s;
}

// The word (calc or expr) after an opening bracket, followed by a blank or
// tab; returns the position after the word or npos.
size_t wordAfterOpen(std::string_view t, size_t i, std::string_view word) {
  size_t j = i + 1;
  while (j < t.size() && isBlank(t[j])) j++;
  if (t.compare(j, word.size(), word) != 0) return npos;
  size_t e = j + word.size();
  return e < t.size() && isBlank(t[e]) ? e : npos;
}

class Rewriter {
 public:
  Rewriter(Interp& in, std::string_view whole, void (*report)(void*, const std::string&), void* data)
      : in_(in), whole_(whole), report_(report), data_(data) {}

  bool rewrite(std::string_view t, size_t offset, int depth, std::string& out);

 private:
  void say(const std::string& text) {
    if (report_) report_(data_, text);
  }
  int64_t lineAt(size_t offset) const {
    int64_t line = 1;
    for (size_t k = 0; k < offset && k < whole_.size(); k++)
      if (whole_[k] == '\n') line++;
    return line;
  }
  bool bracketed(std::string& expr, const std::string& shown);
  bool calc(std::string_view inner, char open, char close, std::string& out);

  Interp& in_;
  std::string_view whole_;
  void (*report_)(void*, const std::string&);
  void* data_;
};

// The operator bracketing pass with the preprocessor's failure messages.
bool Rewriter::bracketed(std::string& expr, const std::string& shown) {
  int rc = bracket_operators(expr);
  if (rc == 0) return true;
  if (rc == 1) say(strprintf("%s: Improper combination of + or - in '%s'\r\n", "Preprocessor", shown.c_str()));
  else say(strprintf("%s: Failed to decompose expression '%s'\r\n", "Preprocessor", shown.c_str()));
  return false;
}

bool Rewriter::calc(std::string_view inner, char open, char close, std::string& out) {
  std::string_view body = trimBlanks(inner);
  if (body.size() >= 8 && body.substr(body.size() - 8) == "-explain") body = trimBlanks(body.substr(0, body.size() - 8));
  body = trimBlanks(withoutOuterBraces(body));
  if (body.empty() || body == "{}" || body == "\"\"") {
    out += open;
    out += "expr {}";
    out += close;
    return true;
  }
  // A lone ':' separates the branches of a ternary: it is set apart so that
  // it is not read as part of an operand.
  std::string expr;
  expr.reserve(body.size() + 8);
  for (size_t k = 0; k < body.size(); k++) {
    char c = body[k];
    bool lone = c == ':' && (k == 0 || (body[k - 1] != ':' && body[k - 1] != '$')) &&
                (k + 1 >= body.size() || body[k + 1] != ':');
    if (lone) expr += " : ";
    else expr += c;
  }
  std::string shown(body);
  if (!bracketed(expr, shown)) return false;
  std::string prefix;
  if (DecomposeExpression(in_, expr, prefix) != 0) {
    say(strprintf("%s: Failed to decompose expression '%s'\r\n", "Preprocessor", shown.c_str()));
    return false;
  }
  std::string_view p = prefix;
  if (p.size() >= 2 && p.front() == '[' && matchingClose(p, 0) == p.size() - 1) p = p.substr(1, p.size() - 2);
  out += open;
  out.append(p);
  out += close;
  return true;
}

bool Rewriter::rewrite(std::string_view t, size_t offset, int depth, std::string& out) {
  out.reserve(out.size() + t.size());
  size_t i = 0;
  while (i < t.size()) {
    char c = t[i];
    if ((c == '[' || c == '{') && (i == 0 || t[i - 1] != '\\')) {
      size_t after = wordAfterOpen(t, i, "calc");
      bool isCalc = after != npos;
      if (!isCalc) after = wordAfterOpen(t, i, "expr");
      if (after != npos) {
        size_t close = matchingClose(t, i);
        if (close == npos) {
          if (isCalc) {
            say(strprintf("%s: Bad expression at line %lld, near '%-.50s'\r\n", "Preprocessor",
                          static_cast<long long>(lineAt(offset + i)), std::string(t.substr(i, 50)).c_str()));
            return false;
          }
          out.append(t.substr(i));
          return true;
        }
        std::string inner;
        std::string_view raw = t.substr(after, close - after);
        if (depth < kMaxNesting) {
          if (!rewrite(raw, offset + after, depth + 1, inner)) return false;
        } else {
          inner.assign(raw);
        }
        if (isCalc) {
          if (!calc(inner, c, t[close], out)) return false;
        } else {
          std::string expr(trimBlanks(withoutOuterBraces(trimBlanks(inner))));
          if (expr.empty()) {
            expr = "{}";
          } else {
            std::string shown = expr;
            if (!bracketed(expr, shown)) return false;
          }
          out += c;
          out += "expr ";
          out += expr;
          out += t[close];
        }
        i = close + 1;
        continue;
      }
    }
    out += c;
    i++;
  }
  return true;
}

}  // namespace

int rewrite_expressions(Interp& in, std::string& text, const MacroTable&,
                        void (*report)(void* data, const std::string& text), void* data) {
  if (text.find("calc") == std::string::npos && text.find("expr") == std::string::npos) return 0;
  Rewriter r(in, text, report, data);
  std::string out;
  if (!r.rewrite(text, 0, 0, out)) return PP_CALC;
  text.swap(out);
  return 0;
}

}  // namespace orvel
