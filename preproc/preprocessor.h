// The macro preprocessor every script text passes through before it runs,
// and the radix-literal pass applied after it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "interp/interp.h"
#include "preproc/macro_table.h"

namespace orvel {

// Driver results below zero.
enum PreprocessCode : int {
  PP_OPEN_CONDITIONAL = -1,
  PP_UNEXPECTED_ENDIF = -2,
  PP_BAD_ESCAPE = -3,
  PP_QUOTES = -4,
  PP_BRACES = -5,
  PP_BRACKETS = -6,
  PP_PARENS = -7,
  PP_NO_TEXT_BACK = -8,
  PP_UNHANDLED = -9,
  PP_NO_TEXT = -10,
  PP_EXIT = -12,
  PP_CALC = -13,
};

// Runs the preprocessor over *text and replaces it with the processed text.
// scriptName is what #__FILE__ falls back to when no script name is set;
// allowEval lets #if and #exec evaluate their text; reportAlways shows the
// diagnostics even while error echo and debug output are off. Returns the
// processed length (> 0), 0 for an empty text, or a PreprocessCode. On
// failure the text is left unchanged, except after #exit with a code
// (PP_EXIT), which keeps the text before it and stores the code in
// *exitCode.
int preprocess_script(Interp& in, std::string* text, std::string_view scriptName, bool allowEval,
                      bool reportAlways, int* exitCode = nullptr);

// Why the text pass stopped early.
enum class PassStop {
  None,
  Exit,          // #exit (code kept when one was given)
  Nested,        // #endif with a conditional still open
  UnexpectedEndif,
  UnexpectedElse,
  Quotes,        // a string left open at a line end
  Brace,         // a } with nothing open
  Comment,       // /* without */
  EvalError,     // #if or #exec failed
};

// What the text pass reports to the driver.
struct PassReport {
  PassStop stop = PassStop::None;
  int64_t stopLine = 0;
  int64_t lines = 1;          // the line the pass ended on
  int64_t quotes = 0;
  int nesting = 0;
  int64_t conditionLine = 0;  // line of the last #if/#ifdef/#ifndef
  int64_t badEscapeLine = 0;  // first malformed \x escape, 0 when none
  int64_t parensOpen = 0, parensClose = 0;
  int64_t bracketsOpen = 0, bracketsClose = 0;
  int64_t lastOpenBracketLine = 0, lastCloseBracketLine = 0;
  int64_t bracesOpen = 0, bracesClose = 0;
  int64_t firstOpenBraceLine = 0;  // the outermost brace still open at the end
  int64_t lastCloseBraceLine = 0;
  int64_t lastDirectiveLine = 0;
  bool hasExitCode = false;
  int exitCode = 0;
};

// Everything the text pass needs from its caller.
struct PassContext {
  Interp* interp = nullptr;     // the caller's interpreter (its argv is copied for #if/#exec)
  bool allowEval = false;
  std::string fileName;         // what #__FILE__ gives
  // Prints a diagnostic (already filtered by the driver's echo rule).
  void (*diagnostic)(void* data, const std::string& text) = nullptr;
  void* diagnosticData = nullptr;
};

// The text pass: directives, comments, macros, escapes and the balance
// counters. Writes the processed text to out.
PassReport preprocess_text(PassContext& cx, MacroTable& macros, std::string_view text, std::string& out);

// Rewrites every [calc ...]/{calc ...} into prefix commands and brackets
// the operators of every [expr ...]/{expr ...}. Returns 0, or PP_CALC after
// reporting the failure through report.
int rewrite_expressions(Interp& in, std::string& text, const MacroTable& macros,
                        void (*report)(void* data, const std::string& text), void* data);

// Radix literals outside double-quoted strings become decimal:
// 0x/&h hexadecimal, 0b/&b binary, 0o octal.
void convert_radix_literals(std::string& text);

// C-like escapes of a text (\n, \t, \xHH, octal ...) turned into their
// characters, for output that bypasses the evaluator.
std::string convert_escapes(std::string_view text);

}  // namespace orvel
