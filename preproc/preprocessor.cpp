// The preprocessor's driver: runs the text pass, checks what it counted,
// reports the first fault found and rewrites the expressions.
#include "preproc/preprocessor.h"

#include <climits>
#include <exception>

#include "interp/process_state.h"
#include "platform/console.h"

namespace orvel {

namespace {

// Diagnostics go to the console while error echo or debug output is on (or
// when the caller asks for them); a web script gets them once wrapped in a
// preformatted block. The switches are read at each message, since #exec
// may change them during the pass.
class Diagnostics {
 public:
  explicit Diagnostics(bool always) : always_(always) {}
  ~Diagnostics() {
    if (open_) plat::writeOut("</pre>\r\n");
  }
  Diagnostics(const Diagnostics&) = delete;
  Diagnostics& operator=(const Diagnostics&) = delete;

  void say(const std::string& text) {
    if (!always_ && !ps().echo && !ps().debug) return;
    if (ps().cgi && !open_) {
      const char* header = ps().cgiHeaderSent ? "" : "Content-type: text/html\r\n\r\n";
      ps().cgiHeaderSent = true;
      plat::writeOut(strprintf("%s<font color=\"grey\"><pre>", header));
      open_ = true;
    }
    plat::writeOut(text);
  }
  static void sink(void* self, const std::string& text) { static_cast<Diagnostics*>(self)->say(text); }

  // "Preprocessor error near line" first, then the fault's own lines.
  int fault(int code, int64_t line, const std::string& text) {
    if (line > 0) say(strprintf("Preprocessor error near line %lld\r\n", static_cast<long long>(line)));
    say(text);
    return code;
  }

 private:
  bool always_;
  bool open_ = false;
};

void trimScript(std::string& s) {
  auto edge = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  size_t b = 0, e = s.size();
  while (b < e && edge(s[b])) b++;
  while (e > b && edge(s[e - 1])) e--;
  if (b > 0 || e < s.size()) s = s.substr(b, e - b);
}

std::string braceFault(int64_t nearLine, int64_t count, char which, int64_t openLine, int64_t closeLine) {
  return strprintf("Error: Near line %lld\r\n", static_cast<long long>(nearLine)) +
         strprintf("Error: %i too many %c braces\r\n", static_cast<int>(count), which) +
         strprintf("Error: Open brace started at line %lld, last closing brace at %lld\r\n",
                   static_cast<long long>(openLine), static_cast<long long>(closeLine));
}

int checkedRun(Interp& in, std::string* text, std::string_view scriptName, bool allowEval, Diagnostics& diag,
               int* exitCode) {
  MacroTable macros;
  PassContext cx;
  cx.interp = &in;
  cx.allowEval = allowEval;
  cx.fileName = !ps().scriptName.empty() ? ps().scriptName : std::string(scriptName);
  cx.diagnostic = &Diagnostics::sink;
  cx.diagnosticData = &diag;

  std::string out;
  PassReport r = preprocess_text(cx, macros, *text, out);
  const long long stopLine = r.stopLine;

  if (r.stop == PassStop::Exit && r.hasExitCode) {
    if (rewrite_expressions(in, out, macros, &Diagnostics::sink, &diag) != 0) return PP_CALC;
    trimScript(out);
    text->swap(out);
    if (exitCode) *exitCode = r.exitCode;
    return PP_EXIT;
  }
  switch (r.stop) {
    case PassStop::Nested:
      r.nesting = r.nesting > 0 ? r.nesting : 1;
      break;
    case PassStop::UnexpectedEndif:
      return diag.fault(PP_UNEXPECTED_ENDIF, stopLine,
                        strprintf("Error: %s near line: %lld\r\n", "Unexpected #endif", stopLine));
    case PassStop::Quotes:
      return diag.fault(PP_QUOTES, stopLine,
                        strprintf("Error: %s (%lld)\r\n", "Mismatched double quotes", static_cast<long long>(r.quotes)));
    case PassStop::Brace:
      return diag.fault(PP_BRACES, stopLine,
                        braceFault(stopLine, r.bracesClose - r.bracesOpen, '}', r.firstOpenBraceLine, stopLine));
    case PassStop::UnexpectedElse:
    case PassStop::Comment:
    case PassStop::EvalError:
      return diag.fault(PP_UNHANDLED, stopLine, strprintf("%s near line %lld\r\n", "Unhandled error", stopLine));
    default:
      break;
  }
  if (r.nesting > 0) {
    long long line = r.conditionLine;
    return diag.fault(PP_OPEN_CONDITIONAL, line,
                      strprintf("Error: %s near line: %lld\r\n", "#if(def) without matching #endif, or nested #if(def)", line) +
                          "       Did you intend a macro '#if' or the comment '# if' ?\r\n");
  }
  if (r.badEscapeLine > 0) {
    long long line = r.badEscapeLine;
    return diag.fault(PP_BAD_ESCAPE, line,
                      strprintf("Error: %s near line %lld\r\n", "Invalid Hex or Octal escape sequence", line));
  }
  if (r.quotes & 1) {
    return diag.fault(PP_QUOTES, r.lines,
                      strprintf("Error: %s (%lld)\r\n", "Mismatched double quotes", static_cast<long long>(r.quotes)));
  }
  if (r.bracesOpen != r.bracesClose) {
    bool moreOpen = r.bracesOpen > r.bracesClose;
    int64_t diff = moreOpen ? r.bracesOpen - r.bracesClose : r.bracesClose - r.bracesOpen;
    int64_t line = moreOpen ? r.firstOpenBraceLine : r.lastCloseBraceLine;
    return diag.fault(PP_BRACES, line,
                      braceFault(line, diff, moreOpen ? '{' : '}', r.firstOpenBraceLine, r.lastCloseBraceLine));
  }
  if (r.bracketsOpen != r.bracketsClose) {
    bool moreOpen = r.bracketsOpen > r.bracketsClose;
    int64_t diff = moreOpen ? r.bracketsOpen - r.bracketsClose : r.bracketsClose - r.bracketsOpen;
    long long line = moreOpen ? r.lastOpenBracketLine : r.lastCloseBracketLine;
    return diag.fault(PP_BRACKETS, line,
                      strprintf("Error: %i too many '%c' brackets. Missing '%c' bracket(s) near line %lld\r\n",
                                static_cast<int>(diff), moreOpen ? '[' : ']', moreOpen ? ']' : '[', line));
  }
  if (r.parensOpen != r.parensClose) {
    bool moreOpen = r.parensOpen > r.parensClose;
    int64_t diff = moreOpen ? r.parensOpen - r.parensClose : r.parensClose - r.parensOpen;
    return diag.fault(PP_PARENS, 0,
                      strprintf("Error: %i too many %c brackets\r\n", static_cast<int>(diff), moreOpen ? '(' : ')'));
  }
  if (rewrite_expressions(in, out, macros, &Diagnostics::sink, &diag) != 0) return PP_CALC;
  trimScript(out);
  if (out.empty()) return PP_NO_TEXT_BACK;
  text->swap(out);
  return text->size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(text->size());
}

}  // namespace

int preprocess_script(Interp& in, std::string* text, std::string_view scriptName, bool allowEval, bool reportAlways,
                      int* exitCode) {
  if (!text) return PP_NO_TEXT;
  if (text->empty()) return 0;
  try {
    Diagnostics diag(reportAlways);
    return checkedRun(in, text, scriptName, allowEval, diag, exitCode);
  } catch (const std::exception& e) {
    reportException("preprocess_script", e.what());
    return PP_UNHANDLED;
  }
}

}  // namespace orvel
