// The preprocessor's text pass: one walk over the script text that removes
// comments, obeys the directives, expands macros and built-in words,
// converts escapes and counts quotes, braces, brackets and parentheses.
#include <cstdlib>
#include <memory>
#include <vector>

#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "platform/console.h"
#include "platform/system.h"
#include "preproc/preprocessor.h"

namespace orvel {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWordChar(char c) { return isLetter(c) || isDigit(c) || c == '_'; }
int hexValue(char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
// Characters that end the word looked up as a macro name in running text.
bool endsMacroRun(char c) {
  return c == '\'' || c == '\r' || c == '\n' || c == '\t' || c == '}' || c == ']' || c == ')' || c == ' ';
}

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}


enum class Word { None, Comment, Builtin, Define, Undef, Ifdef, Ifndef, If, Exec, Echo, Exit, Deflist, Else, Endif };

const char* const kBuiltins[] = {"#__LINE__", "#__FILE__", "#__DATE__", "#__TIME__", "#__USER__", "#__HOST__"};
constexpr size_t kBuiltinLength = 9;

// The built-in word at the start of s (any case), or -1.
int builtinAt(std::string_view s) {
  if (s.size() < kBuiltinLength) return -1;
  for (int k = 0; k < 6; k++)
    if (equalsNoCase(s.substr(0, kBuiltinLength), kBuiltins[k])) return k;
  return -1;
}

class TextPass {
 public:
  TextPass(PassContext& cx, MacroTable& macros, std::string_view src, std::string& out)
      : cx_(cx), macros_(macros), s_(src), n_(src.size()), out_(out) {}
  ~TextPass() { releasePrivate(); }

  PassReport run();

 private:
  char at(size_t k) const { return k < n_ ? s_[k] : '\0'; }
  // Skips the run of carriage returns and line feeds from k, counting the
  // line feeds; returns the position after the run.
  size_t skipLineEnds(size_t k) {
    while (k < n_ && isLineEnd(s_[k])) {
      if (s_[k] == '\n') line_++;
      k++;
    }
    return k;
  }
  void put(char c) {
    out_ += c;
    prev_ = c;
    if (!isBlank(c)) lineBlank_ = false;
  }
  void putText(std::string_view t) {
    out_.append(t);
    if (!t.empty()) {
      prev_ = t.back();
      lineBlank_ = false;
    }
  }
  void stop(PassStop why) {
    if (report_.stop == PassStop::None) {
      report_.stop = why;
      report_.stopLine = line_;
    }
  }
  void diag(const std::string& text) {
    if (cx_.diagnostic) cx_.diagnostic(cx_.diagnosticData, text);
  }

  Word wordAt(size_t k, size_t* keywordEnd) const;
  void lineEnd();
  void endDirectiveLine(bool begins);
  void dropRestOfLine();
  void blockComment();
  void skipped();
  bool expandMacro();
  void backslash();
  bool hashSign();
  void directive(Word w, size_t keywordEnd, bool begins);
  void define(size_t k);
  bool lineArgument(size_t k, std::string& text);
  bool evaluate(const std::string& text, std::string& result);
  std::string builtin(int which);
  void releasePrivate();

  PassContext& cx_;
  MacroTable& macros_;
  std::string_view s_;
  size_t n_;
  std::string& out_;
  size_t i_ = 0;
  char prev_ = '\0';
  int64_t line_ = 1;
  bool inQuote_ = false;
  bool skip_ = false;
  bool lineBlank_ = true;  // nothing but blanks yet on this source line
  std::vector<int64_t> braceLines_;
  size_t runEnd_ = 0;      // end of the macro-name run that covers i_
  PassReport report_;
  std::unique_ptr<Interp> private_;
  std::string user_, host_;
  bool haveUser_ = false, haveHost_ = false;
};

// What a '#' at k starts. keywordEnd receives the end of the keyword.
Word TextPass::wordAt(size_t k, size_t* keywordEnd) const {
  char d = at(k + 1);
  *keywordEnd = k + 1;
  if (d == '#' || d == ' ' || d == '\t') return Word::Comment;
  if (d == '_') {
    if (builtinAt(s_.substr(k)) >= 0) {
      *keywordEnd = k + kBuiltinLength;
      return Word::Builtin;
    }
    return Word::None;
  }
  size_t e = k + 1;
  while (e < n_ && isLetter(s_[e])) e++;
  if (e < n_ && isWordChar(s_[e])) return Word::None;
  *keywordEnd = e;
  std::string_view kw = s_.substr(k + 1, e - k - 1);
  if (equalsNoCase(kw, "else")) return Word::Else;
  if (equalsNoCase(kw, "endif")) return Word::Endif;
  if (kw == "define") return Word::Define;
  if (kw == "undef") return Word::Undef;
  if (kw == "ifdef") return Word::Ifdef;
  if (kw == "ifndef") return Word::Ifndef;
  if (kw == "if") return Word::If;
  if (kw == "exec") return Word::Exec;
  if (kw == "echo") return Word::Echo;
  if (kw == "exit") return Word::Exit;
  if (kw == "deflist") return Word::Deflist;
  return Word::None;
}

// A source line feed: strings may not run over it.
void TextPass::lineEnd() {
  if (report_.quotes & 1) {
    diag(strprintf("Error: Quote mismatch near line %lld (Count:%lld)\r\n", static_cast<long long>(line_),
                   static_cast<long long>(report_.quotes)));
    diag("       Check \\\\path escapes, \\\" combinations and mismatched \"quotes\r\n");
    stop(PassStop::Quotes);
    return;
  }
  put('\n');
  line_++;
  lineBlank_ = true;
}

// After a directive or comment: one that began its line goes together with
// its line end; otherwise the line end stays for the main loop to write.
void TextPass::endDirectiveLine(bool begins) {
  dropRestOfLine();
  if (!begins || report_.stop != PassStop::None) return;
  while (i_ < n_ && s_[i_] == '\r') i_++;
  if (i_ < n_ && s_[i_] == '\n') {
    i_++;
    if (report_.quotes & 1) {
      diag(strprintf("Error: Quote mismatch near line %lld (Count:%lld)\r\n", static_cast<long long>(line_),
                     static_cast<long long>(report_.quotes)));
      diag("       Check \\\\path escapes, \\\" combinations and mismatched \"quotes\r\n");
      stop(PassStop::Quotes);
      return;
    }
    line_++;
  }
  lineBlank_ = true;
  prev_ = '\n';
}

void TextPass::dropRestOfLine() {
  while (i_ < n_ && !isLineEnd(s_[i_])) i_++;
}

// "/*" ... "*/" is removed whole; its lines still count.
void TextPass::blockComment() {
  size_t end = s_.find("*/", i_ + 2);
  if (end == std::string_view::npos) {
    diag("Error: Mismatched /* ... */ comment\r\n");
    stop(PassStop::Comment);
    return;
  }
  for (size_t k = i_ + 2; k < end; k++)
    if (s_[k] == '\n') line_++;
  i_ = end + 2;
}

// Inside a false branch only line ends and conditional directives count.
void TextPass::skipped() {
  char c = s_[i_];
  if (c == '\n') {
    line_++;
    lineBlank_ = true;
    prev_ = c;
    i_++;
    return;
  }
  if (c == '#' && prev_ != '#') {
    size_t kwEnd;
    Word w = wordAt(i_, &kwEnd);
    bool begins = lineBlank_;
    switch (w) {
      case Word::Comment:
        dropRestOfLine();
        return;
      case Word::Ifdef:
      case Word::Ifndef:
      case Word::If:
      case Word::Else:
      case Word::Endif:
        directive(w, kwEnd, begins);
        return;
      default:
        break;
    }
  }
  if (!isBlank(c)) lineBlank_ = false;
  prev_ = c;
  i_++;
}

// A macro name at i_: the run up to the next run-ending character (or the
// end of the text) is looked up; a name also matches the tail of a longer
// word, since the scan moves on one character when there is no match.
bool TextPass::expandMacro() {
  if (i_ >= runEnd_) {
    size_t j = i_;
    while (j < n_ && !endsMacroRun(s_[j])) j++;
    runEnd_ = j;
  }
  size_t len = runEnd_ - i_;
  if (len > 1024) return false;
  std::string_view word = s_.substr(i_, len);
  if (!macros_.mayBeName(word)) return false;
  macros_.setLine(line_);
  const std::string* v = macros_.find(word);
  if (!v) return false;
  std::string value = *v;
  for (int k = 0; k < 100; k++) {
    const std::string* next = macros_.find(value);
    if (!next) break;
    value = *next;
  }
  putText(substitute_macros(macros_, value));
  lineBlank_ = false;
  prev_ = word.back();
  i_ = runEnd_;
  return true;
}

void TextPass::backslash() {
  char d = at(i_ + 1);
  if (i_ + 1 >= n_) {
    put('\\');
    i_++;
    return;
  }
  if (isLineEnd(d)) {  // joined lines: the backslash and the whole run of line ends vanish
    i_ = skipLineEnds(i_ + 1);
    prev_ = '\0';
    return;
  }
  if (d == '#') {
    put('#');
    i_ += 2;
    return;
  }
  if (!ps().escape) {
    put('\\');
    put(d);
    i_ += 2;
    return;
  }
  auto single = [&](char c) {
    put(c);
    i_ += 2;
  };
  switch (d) {
    case 'a': return single('\a');
    case 'b': return single('\b');
    case 'f': return single('\f');
    case 'n': return single('\n');
    case 'r': return single('\r');
    case 't': return single('\t');
    case 'v': return single('\v');
    case 'x': {
      size_t k = i_ + 2;
      int value = 0, digits = 0;
      while (digits < 2 && k < n_ && hexValue(s_[k]) >= 0) {
        value = value * 16 + hexValue(s_[k++]);
        digits++;
      }
      if (digits == 0) {
        if (report_.badEscapeLine == 0) report_.badEscapeLine = line_;
        put('\\');
        put('x');
        i_ += 2;
        return;
      }
      if (value == 0) putText("\\x00");
      else if (value == 34) putText("\\x22");
      else put(static_cast<char>(value));
      i_ = k;
      return;
    }
    default:
      break;
  }
  if (d >= '0' && d <= '7') {
    size_t k = i_ + 1;
    int value = 0, digits = 0;
    while (digits < 3 && k < n_ && s_[k] >= '0' && s_[k] <= '7') {
      value = value * 8 + (s_[k++] - '0');
      digits++;
    }
    value &= 0xFF;
    put(value == 0 ? '?' : static_cast<char>(value));
    i_ = k;
    return;
  }
  // \\, \" and every other escape are left for the evaluator.
  put('\\');
  put(d);
  i_ += 2;
}

// A '#' outside quotes: a comment, a directive, a built-in word, or text.
bool TextPass::hashSign() {
  size_t kwEnd;
  Word w = wordAt(i_, &kwEnd);
  if (w == Word::None) return false;
  directive(w, kwEnd, lineBlank_);
  return true;
}

std::string TextPass::builtin(int which) {
  switch (which) {
    case 0:
      return std::to_string(line_);
    case 1:
      return cx_.fileName.empty() ? std::string("<unknown>") : cx_.fileName;
    case 2: {
      plat::LocalTime t = plat::localTime();
      return strprintf("%04d%02d%02d", t.year, t.month, t.day);
    }
    case 3: {
      plat::LocalTime t = plat::localTime();
      return strprintf("%02d:%02d:%02d", t.hour, t.minute, t.second);
    }
    case 4:
      if (!haveUser_) {
        user_ = plat::userName();
        if (user_.empty()) user_ = "<unknown>";
        haveUser_ = true;
      }
      return user_;
    default:
      if (!haveHost_) {
        host_ = plat::hostName();
        if (host_.empty()) host_ = "<unknown>";
        haveHost_ = true;
      }
      return host_;
  }
}

void TextPass::directive(Word w, size_t kwEnd, bool begins) {
  if (w == Word::Builtin) {
    int which = builtinAt(s_.substr(i_));
    putText(builtin(which));
    i_ = kwEnd;
    if (which == 0) dropRestOfLine();  // the line ends after its number
    return;
  }
  report_.lastDirectiveLine = line_;
  i_ = kwEnd;
  switch (w) {
    case Word::Comment:
      break;
    case Word::Ifdef:
    case Word::Ifndef: {
      report_.nesting++;
      report_.conditionLine = line_;
      if (!skip_) {
        size_t k = i_;
        while (k < n_ && isBlank(s_[k])) k++;
        size_t e = k;
        while (e < n_ && !isBlank(s_[e]) && !isLineEnd(s_[e])) e++;
        bool known = macros_.defined(s_.substr(k, e - k));
        skip_ = (w == Word::Ifdef) ? !known : known;
      }
      break;
    }
    case Word::If: {
      report_.nesting++;
      report_.conditionLine = line_;
      if (skip_) break;
      std::string text, result;
      if (!lineArgument(i_, text)) return;
      if (cx_.allowEval && !evaluate(text, result)) return;
      if (!result.empty() && std::strtod(result.c_str(), nullptr) == 0.0) skip_ = true;
      break;
    }
    case Word::Else:
      if (report_.nesting <= 0) {
        diag(strprintf("Error: %s near line: %lld\r\n", "Unexpected #else", static_cast<long long>(line_)));
        stop(PassStop::UnexpectedElse);
        return;
      }
      skip_ = !skip_;
      break;
    case Word::Endif:
      report_.nesting--;
      skip_ = false;
      if (report_.nesting < 0) {
        report_.nesting = 0;
        stop(PassStop::UnexpectedEndif);
        return;
      }
      if (report_.nesting > 0) {
        stop(PassStop::Nested);
        return;
      }
      break;
    case Word::Define:
      define(i_);
      break;
    case Word::Undef: {
      size_t k = i_;
      while (k < n_ && isBlank(s_[k])) k++;
      size_t e = k;
      while (e < n_ && !isBlank(s_[e]) && !isLineEnd(s_[e])) e++;
      std::string_view name = s_.substr(k, e - k);
      macros_.undefine(name);
      if (equalsNoCase(name, "ndebug")) ps().ndebug = false;
      break;
    }
    case Word::Exec: {
      std::string text, result;
      if (!lineArgument(i_, text)) return;
      if (cx_.allowEval && !evaluate(text, result)) return;
      break;
    }
    case Word::Echo: {
      size_t k = i_;
      while (k < n_ && !isLineEnd(s_[k])) k++;
      std::string_view rest = s_.substr(i_, k - i_);
      size_t hash = rest.find('#');
      size_t open = rest.find("/*");
      if (open != std::string_view::npos && (hash == std::string_view::npos || open < hash)) {
        if (rest.find("*/", open + 2) == std::string_view::npos) {
          diag("Error: Mismatched /* ... */ comment\r\n");
          stop(PassStop::Comment);
          return;
        }
        rest = rest.substr(0, open);
      } else if (hash != std::string_view::npos) {
        rest = rest.substr(0, hash);
      }
      rest = trimBlanks(rest);
      std::string text;
      for (size_t j = 0; j < rest.size(); j++) {
        if (rest[j] == '\\' && j + 1 < rest.size() && (rest[j + 1] == 'r' || rest[j + 1] == 'n' || rest[j + 1] == 't')) {
          char e = rest[++j];
          text += e == 'r' ? '\r' : e == 'n' ? '\n' : '\t';
        } else {
          text += rest[j];
        }
      }
      if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
      plat::writeOut(substitute_macros(macros_, text) + "\r\n");
      break;
    }
    case Word::Exit: {
      size_t k = i_;
      while (k < n_ && !isLineEnd(s_[k]) && s_[k] != '#') k++;
      std::string_view rest = trimBlanks(s_.substr(i_, k - i_));
      if (!rest.empty()) {
        report_.hasExitCode = true;
        report_.exitCode = static_cast<int>(std::strtol(std::string(rest).c_str(), nullptr, 10));
      }
      report_.nesting = 0;
      stop(PassStop::Exit);
      return;
    }
    case Word::Deflist: {
      std::string list = "MPP deflist:\r\n------------\r\n";
      macros_.setLine(line_);
      macros_.each([&](const std::string& name, const std::string& value) {
        list += strprintf("%-15.15s\t%s\r\n", name.c_str(), value.c_str());
      });
      plat::writeOut(list);
      break;
    }
    default:
      break;
  }
  endDirectiveLine(begins);
}

// #define name ?value?
void TextPass::define(size_t k) {
  while (k < n_ && isBlank(s_[k])) k++;
  size_t e = k;
  while (e < n_ && !isBlank(s_[e]) && !isLineEnd(s_[e])) e++;
  std::string name(s_.substr(k, e - k));
  k = e;
  while (k < n_ && isBlank(s_[k])) k++;
  std::string value;
  auto joinLines = [&]() { k = skipLineEnds(k + 1); };  // k at a backslash before a line end
  if (k < n_ && s_[k] == '"') {
    value += '"';
    report_.quotes++;
    k++;
    while (k < n_) {
      char c = s_[k];
      if (c == '\\' && at(k + 1) == '"') {
        value += "\\\"";
        k += 2;
      } else if (c == '\\' && isLineEnd(at(k + 1))) {
        joinLines();
      } else if (c == '"') {
        value += '"';
        report_.quotes++;
        k++;
        break;
      } else if (isLineEnd(c)) {
        break;  // left open: the line end reports the odd quote
      } else {
        value += c;
        k++;
      }
    }
  } else {
    while (k < n_ && !isLineEnd(s_[k])) {
      char c = s_[k];
      if (c == '\\' && at(k + 1) == '#') {
        value += '#';
        k += 2;
      } else if (c == '\\' && isLineEnd(at(k + 1))) {
        joinLines();
      } else if (c == '#') {
        break;
      } else {
        value += c;
        k++;
      }
    }
  }
  i_ = k;
  if (name.empty()) return;
  std::string_view v = trimBlanks(value);
  std::string stored;
  if (v.empty()) {
    stored = "1";
  } else if (v == "\"\"") {
    stored = "\"\"";
  } else {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    int which = v.size() == kBuiltinLength ? builtinAt(v) : -1;
    if (which >= 0) {
      stored = builtin(which);
    } else {
      for (size_t j = 0; j < v.size(); j++) {
        if (v[j] == '\\' && j + 1 < v.size() && v[j + 1] == '"') continue;
        stored += v[j];
      }
      for (int n = 0; n < 1000; n++) {
        macros_.setLine(line_);
        const std::string* other = macros_.find(stored);
        if (!other) break;
        stored = *other;
      }
    }
  }
  if (stored.empty()) stored = "1";
  macros_.define(name, stored);
  if (equalsNoCase(name, "ndebug")) ps().ndebug = true;
}

// The text of #if and #exec: the rest of the line without a trailing
// comment, one enclosing pair of quotes, braces or brackets removed, and
// macros substituted.
bool TextPass::lineArgument(size_t k, std::string& text) {
  size_t e = k;
  while (e < n_ && !isLineEnd(s_[e])) e++;
  std::string_view rest = s_.substr(k, e - k);
  size_t hash = rest.find('#');
  size_t open = rest.find("/*");
  if (open != std::string_view::npos && (hash == std::string_view::npos || open < hash)) {
    if (rest.find("*/", open + 2) == std::string_view::npos) {
      diag("Error: Mismatched /* ... */ comment\r\n");
      stop(PassStop::Comment);
      return false;
    }
    rest = rest.substr(0, open);
  } else if (hash != std::string_view::npos) {
    rest = rest.substr(0, hash);
  }
  rest = trimBlanks(rest);
  if (rest.size() >= 2) {
    char a = rest.front(), b = rest.back();
    if ((a == '"' && b == '"') || (a == '{' && b == '}') || (a == '[' && b == ']'))
      rest = trimBlanks(rest.substr(1, rest.size() - 2));
  }
  text = substitute_macros(macros_, rest);
  return true;
}

// #if and #exec texts run in a private interpreter that has the caller's
// argv; it is made on first use and kept for the rest of the pass.
bool TextPass::evaluate(const std::string& text, std::string& result) {
  Interp* saved = currentInterp();
  if (!private_) {
    private_ = std::make_unique<Interp>();
    orvelSetupInterp(*private_, nullptr);
    if (cx_.interp) {
      Interp& caller = *cx_.interp;
      if (Var* v = orvelGetVar(caller, "::argv0")) orvelSetConst(*private_, "argv0", v->value, true, true);
      if (Var* v = orvelGetVar(caller, "::argc")) {
        orvelSetConst(*private_, "argc", v->value, true, true);
        bool ok = true;
        int64_t count = std::strtoll(v->value.c_str(), nullptr, 10);
        for (int64_t i = 0; ok && i < count && i < 100000; i++) {
          const std::string* arg = arrayGetElement(caller, "::argv", std::to_string(i));
          if (!arg) break;
          ok = arraySetElement(*private_, "argv", std::to_string(i), *arg) == OK;
        }
        if (Var* a = orvelGetVar(*private_, "argv")) a->isConst = true;
      }
    }
  }
  struct Restore {
    Interp* saved;
    ~Restore() { setCurrentInterp(saved); }
  } restore{saved};
  setCurrentInterp(private_.get());
  private_->result.clear();
  int code = orvelEval(*private_, text);
  result = private_->result;
  if (code == ERROR || code == STOP) {
    diag(strprintf("Error: Error in #if or #exec macro expression '%s'\r\n", text.c_str()));
    stop(PassStop::EvalError);
    return false;
  }
  return true;
}

void TextPass::releasePrivate() {
  if (!private_) return;
  Interp* saved = currentInterp();
  if (saved == private_.get()) saved = cx_.interp;
  private_.reset();
  setCurrentInterp(saved);
}

PassReport TextPass::run() {
  out_.reserve(out_.size() + n_ + n_ / 16);
  while (i_ < n_ && report_.stop == PassStop::None) {
    char c = s_[i_];
    if (!inQuote_ && c == '/' && at(i_ + 1) == '*') {
      blockComment();
      continue;
    }
    if (skip_) {
      skipped();
      continue;
    }
    if (lineBlank_ && isBlank(c)) {  // indentation before a directive is dropped
      size_t j = i_;
      while (j < n_ && isBlank(s_[j])) j++;
      size_t kwEnd;
      if (j < n_ && s_[j] == '#' && wordAt(j, &kwEnd) != Word::None && wordAt(j, &kwEnd) != Word::Builtin) {
        i_ = j;
        continue;
      }
      while (i_ < j) put(s_[i_++]);
      continue;
    }
    if (!inQuote_ && isWordChar(c) && macros_.hasUserMacros() && expandMacro()) continue;
    switch (c) {
      case '"':
        inQuote_ = !inQuote_;
        report_.quotes++;
        break;
      case '\n':
        i_++;
        lineEnd();
        continue;
      case '\\':
        backslash();
        continue;
      case '#':
        if (!inQuote_ && prev_ != '#' && hashSign()) continue;
        break;
      case '(':
        if (!inQuote_) report_.parensOpen++;
        break;
      case ')':
        if (!inQuote_) report_.parensClose++;
        break;
      case '[':
        if (!inQuote_) {
          report_.bracketsOpen++;
          report_.lastOpenBracketLine = line_;
        }
        break;
      case ']':
        if (!inQuote_) {
          report_.bracketsClose++;
          report_.lastCloseBracketLine = line_;
        }
        break;
      case '{':
        if (prev_ != '\\' && at(i_ + 1) == '*' && at(i_ + 2) == '}') ps().lastExpandLine = line_;
        if (!inQuote_) {
          report_.bracesOpen++;
          braceLines_.push_back(line_);
        }
        break;
      case '}':
        if (!inQuote_) {
          report_.bracesClose++;
          if (braceLines_.empty()) {
            stop(PassStop::Brace);
            continue;
          }
          braceLines_.pop_back();
          report_.lastCloseBraceLine = line_;
        }
        break;
      default:
        break;
    }
    put(c);
    i_++;
  }
  report_.lines = line_;
  report_.firstOpenBraceLine = braceLines_.empty() ? 0 : braceLines_.front();
  releasePrivate();
  return report_;
}

}  // namespace

PassReport preprocess_text(PassContext& cx, MacroTable& macros, std::string_view text, std::string& out) {
  TextPass pass(cx, macros, text, out);
  return pass.run();
}

}  // namespace orvel
