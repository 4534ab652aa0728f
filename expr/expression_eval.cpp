// The infix evaluator: reads an expression left to right, keeps operands on
// a stack and runs every operator as a prefix command (`+ 1 2`) through the
// script evaluator. It knows no precedence; the bracketing pass supplies it.
#include <cstdlib>
#include <string>
#include <vector>

#include "expr/expression.h"
#include "expr/expression_text.h"
#include "expr/function_table.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "platform/console.h"

namespace orvel {

namespace {

// Deepest nesting of parentheses and function arguments the evaluator
// follows; deeper texts fail instead of exhausting the machine stack.
constexpr int kMaxInfixNesting = 200;
int g_infixNesting = 0;

struct NestingGuard {
  NestingGuard() { ++g_infixNesting; }
  ~NestingGuard() { --g_infixNesting; }
};

// Fault codes of the core evaluator.
constexpr int kErrEmpty = 1;
constexpr int kErrUnhandledOperator = 3;
constexpr int kErrMissingOperand = 4;
constexpr int kErrTooDeep = 5;

constexpr long long kSiteMissingBinary = 90141;
constexpr long long kSiteMissingUnary = 90011;
constexpr long long kSiteSubstitution = 94384;

inline bool isOperandChar(char c) {
  return isAsciiAlnum(c) || c == '.' || c == '$' || c == '_' || c == ':';
}

// The position of the ternary's ':' in text[from..], skipping quoted and
// braced text and the "$::" prefix; npos when there is none.
size_t ternaryColon(std::string_view text, size_t from) {
  for (size_t j = from; j < text.size(); j++) {
    char c = text[j];
    if (c == '"' || c == '{') {
      j = skipRegion(text, j) - 1;
      continue;
    }
    if (c == '$' && j + 2 < text.size() && text[j + 1] == ':' && text[j + 2] == ':') {
      j += 2;
      continue;
    }
    if (c == ':') return j;
  }
  return std::string_view::npos;
}

class InfixEvaluator {
 public:
  InfixEvaluator(Interp& in, std::string_view text) : in_(in), text_(text) {}

  // Runs from pos to the end of the text.
  bool run(size_t pos, int& err, std::string& value);

 private:
  void push(std::string_view s) {
    if (!s.empty()) stack_.emplace_back(s);
  }
  std::string pop() {
    std::string s = std::move(stack_.back());
    stack_.pop_back();
    return s;
  }
  // Runs the pending operator when it has its operands. Returns false when
  // the operator command ended the evaluation (err set).
  bool applyPending(int& err);
  bool runCommand(const std::string& command, int& err);
  bool ternary(size_t i, int& err, std::string& value);
  bool finish(int& err, std::string& value);

  Interp& in_;
  std::string_view text_;
  std::vector<std::string> stack_;
  std::string pending_;
  std::string operand_;
};

bool InfixEvaluator::runCommand(const std::string& command, int& err) {
  int code = orvelEval(in_, command);
  if (code == ERROR || code == STOP || code == EXIT) {
    err = code;
    return false;
  }
  push(in_.result);
  pending_.clear();
  return true;
}

bool InfixEvaluator::applyPending(int& err) {
  if (pending_.empty()) return true;
  if (pending_ == ",") {
    pending_.clear();
    return true;
  }
  int arity = operator_arity(pending_);
  if (arity == 1 && !stack_.empty()) {
    std::string command = pending_;
    command += ' ';
    command += pop();
    return runCommand(command, err);
  }
  if (arity == 2 && stack_.size() >= 2) {
    std::string right = pop();
    std::string left = pop();
    std::string command;
    command.reserve(pending_.size() + left.size() + right.size() + 2);
    command += pending_;
    command += ' ';
    command += left;
    command += ' ';
    command += right;
    return runCommand(command, err);
  }
  return true;
}

bool InfixEvaluator::ternary(size_t i, int& err, std::string& value) {
  int64_t condition = decimalValue(pop());
  size_t n = text_.size();
  while (i < n && isBlankOrTab(text_[i])) i++;
  size_t colon = ternaryColon(text_, i);
  std::string_view chosen;
  if (condition != 0) {
    chosen = colon == std::string_view::npos ? text_.substr(i) : text_.substr(i, colon - i);
  } else if (colon != std::string_view::npos) {
    size_t e = colon + 1;
    while (e < n && isBlankOrTab(text_[e])) e++;
    chosen = text_.substr(e);
  }
  int code = orvelEval(in_, chosen);
  if (code == RETURN) code = OK;
  err = code;
  value = in_.result;
  return true;
}

bool InfixEvaluator::finish(int& err, std::string& value) {
  if (!operand_.empty()) push(operand_);
  operand_.clear();
  if (pending_.empty()) {
    if (!stack_.empty()) {
      std::string top = pop();
      if (top[0] == '$') {
        // A lone variable reference: its value, as `+ $x 1` would see it.
        std::string command = "return ";
        command += top;
        int code = orvelEval(in_, command);
        if (code != OK && code != RETURN) {
          err = code;
          return false;
        }
        push(in_.result);
      } else {
        Var* v = orvelGetVar(in_, top);
        std::string held;
        if (v && readVarValue(in_, v, held) && !held.empty()) push(held);
        else push(top);
      }
    }
  } else if (pending_ == ",") {
    pending_.clear();
  } else {
    int arity = operator_arity(pending_);
    if ((arity == 1 && !stack_.empty()) || (arity == 2 && stack_.size() >= 2)) {
      if (!applyPending(err)) return false;
    } else if ((pending_ == "+" || pending_ == "-") && !stack_.empty()) {
      std::string command = pending_;
      command += " 0 ";
      command += pop();
      if (!runCommand(command, err)) return false;
    } else {
      std::string expr(text_);
      if (arity == 1)
        fail(in_, "expr@%lld: Missing operand at '%s' (arity %lld) in %s", kSiteMissingUnary, pending_.c_str(), 1LL,
             expr.c_str());
      else
        fail(in_, "expr@%lld: Missing operand at '%s' (arity %lld)", kSiteMissingBinary, pending_.c_str(),
             static_cast<long long>(arity));
      err = kErrMissingOperand;
      return false;
    }
  }
  value.clear();
  for (size_t k = 0; k < stack_.size(); k++) {
    if (k) value += ' ';
    value += stack_[k];
  }
  // The placeholder of an empty operand stands for the empty text.
  if (value == "{}") value.clear();
  return true;
}

bool InfixEvaluator::run(size_t pos, int& err, std::string& value) {
  size_t n = text_.size();
  size_t i = pos;
  while (i < n) {
    char c = text_[i];
    // The ternary: the condition is on the stack, the rest of the text holds
    // the two branches.
    if (pending_ == "?" && !stack_.empty()) return ternary(i, err, value);
    if (c == '"' && operand_.empty()) {
      size_t end = skipRegion(text_, i);
      operand_.assign(text_.substr(i, end - i));
      i = end;
      continue;
    }
    if (isOperandChar(c)) {
      if (c == '$' && i + 1 < n && text_[i + 1] == '{') {
        size_t close = matchingClose(text_, i + 1, '{', '}');
        size_t end = close == std::string_view::npos ? n : close + 1;
        operand_.append(text_.substr(i, end - i));
        i = end;
        continue;
      }
      operand_ += c;
      i++;
      // An array element reference $name(index) stays one operand.
      if (i < n && text_[i] == '(' && operand_[0] == '$' && operand_.find('(') == std::string::npos) {
        size_t close = matchingClose(text_, i, '(', ')');
        if (close != std::string_view::npos) {
          operand_.append(text_.substr(i, close + 1 - i));
          i = close + 1;
        }
      }
      continue;
    }
    // Any other character ends the operand under construction.
    if (operand_.empty() && c == '}') {
      push("{}");
    } else if (!operand_.empty() && c == '(' && isAsciiAlpha(operand_[0])) {
      if (!findMathFunction(operand_)) {
        stack_.clear();
        return false;
      }
      std::string result;
      size_t p = i;
      bool ok = evaluate_function(in_, operand_, text_, p, result);
      operand_.clear();
      if (!ok) return false;
      push(result);
      i = p;
      continue;
    } else if (!operand_.empty()) {
      push(operand_);
      operand_.clear();
    }
    // A minus sign that starts a negative number.
    if (c == '-' && !(i + 1 < n && text_[i + 1] == '(') && stack_.size() < 2 &&
        (stack_.empty() || !pending_.empty())) {
      size_t j = i + 1;
      while (j < n && charIn("0123456789.$abcdefghijklmnopqrstuvwxyz_", text_[j])) j++;
      push(text_.substr(i, j - i));
      i = j;
      if (!applyPending(err)) return false;
      continue;
    }
    if (!applyPending(err)) return false;
    if (pending_.empty()) {
      std::string op;
      size_t skipped = 0;
      size_t len = read_operator(text_, i, op, skipped);
      if (i + skipped >= n) break;  // only blanks remain
      if (len > 0) {
        int arity = operator_arity(op);
        if (arity == 0) {
          fail(in_, "expr: Unhandled operator '%s' arity '%i'", op.c_str(), arity);
          err = kErrUnhandledOperator;
          return false;
        }
        pending_ = op;
        i += skipped + len;
        continue;
      }
      if (skipped > 0) {
        // Blanks change nothing more; go on at the next other character.
        i += skipped;
        continue;
      }
    }
    if (c == '(') {
      size_t close = matchingClose(text_, i, '(', ')');
      std::string_view inner =
          close == std::string_view::npos ? text_.substr(i + 1) : text_.substr(i + 1, close - i - 1);
      size_t p = 0;
      int innerErr = 0;
      std::string result;
      if (!evaluate_infix(in_, inner, p, innerErr, result) || innerErr != 0) {
        err = innerErr;
        return false;
      }
      push(result);
      i = close == std::string_view::npos ? n : close + 1;
      continue;
    }
    i++;
  }
  return finish(err, value);
}

}  // namespace

size_t read_operator(std::string_view t, size_t pos, std::string& op, size_t& skipped) {
  op.clear();
  size_t i = pos;
  while (i < t.size() && isBlankOrTab(t[i])) i++;
  skipped = i - pos;
  if (i >= t.size()) return 0;
  char c = t[i];
  char d = i + 1 < t.size() ? t[i + 1] : '\0';
  if (c == '*' && d == '*') {
    op = "**";
    return 2;
  }
  if (charIn("%*/", c)) {
    op = c;
    if (d == '=') {
      op += d;
      return 2;
    }
    return 1;
  }
  if ((c == '+' && d == '-') || (c == '-' && d == '+')) {
    op = "-";
    return 2;
  }
  if ((c == '+' && d == '+') || (c == '-' && d == '-')) {
    op = c;
    return 1;
  }
  if (charIn("~^+-&|<>=!?,", c) && d == '-') {
    op = c;
    return 1;
  }
  if (charIn("~^+&|<>=!?,", c) && charIn("+&|<>=*", d)) {
    op = c;
    op += d;
    return 2;
  }
  if (charIn("~^+-/*%&|<>=!?,", c)) {
    op = c;
    return 1;
  }
  if (i + 2 < t.size() && isBlankOrTab(t[i + 2])) {
    char a = static_cast<char>(c | 0x20), b = static_cast<char>(d | 0x20);
    if ((a == 'e' && b == 'q') || (a == 'n' && b == 'e') || (a == 'l' && (b == 't' || b == 'e')) ||
        (a == 'g' && (b == 't' || b == 'e'))) {
      op.assign(t.substr(i, 2));
      return 2;
    }
  }
  return 0;
}

int operator_arity(std::string_view op) {
  if (op.empty()) return 0;
  char c = op[0];
  if (c == '!' && (op.size() < 2 || op[1] != '=')) return 1;
  if (op.size() >= 2 && op[1] == '+') return 1;
  if (c == '~' || c == ',') return 1;
  if (op == "?") return 3;
  if (charIn("-^+/*%&|<>=!", c)) return 2;
  if (op.size() >= 2) {
    char a = static_cast<char>(op[0] | 0x20), b = static_cast<char>(op[1] | 0x20);
    if ((a == 'e' && b == 'q') || (a == 'g' && (b == 'e' || b == 't')) || (a == 'l' && (b == 'e' || b == 't')) ||
        (a == 'n' && b == 'e'))
      return 2;
  }
  return 0;
}

bool evaluate_infix(Interp& in, std::string_view text, size_t& pos, int& err, std::string& value) {
  err = 0;
  value.clear();
  if (pos >= text.size()) {
    pos = text.size();
    fail(in, "expr: Empty expression");
    err = kErrEmpty;
    return false;
  }
  if (g_infixNesting >= kMaxInfixNesting) {
    pos = text.size();
    fail(in, "expr: Expression nested too deeply (%d levels)", g_infixNesting);
    err = kErrTooDeep;
    return false;
  }
  NestingGuard guard;
  InfixEvaluator evaluator(in, text);
  bool ok = evaluator.run(pos, err, value);
  pos = text.size();
  return ok;
}

int evaluate_subexpression(Interp& in, std::string_view expr, std::string& out) {
  out.clear();
  // The working copy: braces removed around literal text, command
  // substitutions replaced by their values.
  std::string copy;
  copy.reserve(expr.size() + 16);
  char prev = '\0';
  size_t i = 0, n = expr.size();
  while (i < n) {
    char c = expr[i];
    if (c == '{' && prev != '\\' && prev != '$') {
      size_t close = matchingClose(expr, i, '{', '}');
      size_t end = close == std::string_view::npos ? n : close + 1;
      copy.append(expr.substr(i + 1, end - i - 1));
      prev = expr[end - 1];
      i = end;
      continue;
    }
    if (c == '[' && prev != '\\') {
      size_t close = matchingClose(expr, i, '[', ']');
      std::string_view inner = close == std::string_view::npos ? expr.substr(i + 1) : expr.substr(i + 1, close - i - 1);
      if (!inner.empty()) {
        std::string script(inner);
        int code = orvelEval(in, script);
        if (script.find('[') != std::string::npos) {
          if ((code == OK || code == CONTINUE) && !in.result.empty()) copy += in.result;
        } else if (code == OK || code == RETURN || code == CONTINUE) {
          copy += in.result;
        } else {
          const char* name = codeNameOf(code);
          reportError(in, "expr@%lld: Code %i (%s) returned from sub-expression '%s'\r\n", kSiteSubstitution, code,
                      name ? name : "Unhandled error", script.c_str());
          return code;
        }
      }
      copy += ' ';
      prev = close == std::string_view::npos ? expr.back() : ']';
      i = close == std::string_view::npos ? n : close + 1;
      continue;
    }
    copy += c;
    prev = c;
    i++;
  }
  long long balance = 0;
  for (char c : copy) {
    if (c == '(') balance++;
    else if (c == ')') balance--;
  }
  if (balance != 0) {
    if (ps().debug)
      plat::writeOut(strprintf("expr: bracket mismatch: '%s' - %lld too many %s", copy.c_str(),
                               balance < 0 ? -balance : balance, balance > 0 ? "(\n" : ")\n"));
    return ERROR;
  }
  size_t pos = 0;
  int err = 0;
  std::string value;
  bool ok = evaluate_infix(in, copy, pos, err, value);
  if (err != 0 || !ok) return ERROR;
  out = std::move(value);
  return OK;
}

}  // namespace orvel
