// Conditions of the branch and loop commands: the three truth tests, the
// decimal number readers of the counting loops, and the evaluation of a
// condition as a script or, in flow-control expression mode, as an infix
// expression.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "interp/interp.h"
#include "interp/process_state.h"

namespace orvel {

// Real test: the longest leading decimal real number (white space skipped)
// is not 0. "0.5" is true, "abc" is false.
bool truthReal(std::string_view text);
// Integer test: leading white space, an optional sign and the leading
// decimal digits, not 0. "0.5" and "abc" are false.
bool truthInteger(std::string_view text);
// Not-zero-text test: the text holds a character other than + - . and 0.
bool truthNotZeroText(std::string_view text);

// Leading white space, an optional sign, the leading decimal digits;
// saturates at the 64-bit limits. No digits read as 0.
int64_t readDecimalInt64(std::string_view text);
// The longest leading decimal real number (white space skipped); 0 when
// there is none. A number too large for a double reads as an infinity.
double readDecimalReal(std::string_view text);

// Reads a variable by name as `set name` does (array elements and struct
// members included) without reporting and without touching the interpreter
// result; false when there is no such variable.
bool readVariableQuietly(Interp& in, std::string_view name, std::string& out);

// Evaluates one condition. In flow-control expression mode the text is an
// infix expression and value() is its value; otherwise the text is a
// script and value() is the interpreter result. The mode is read at each
// evaluation, so a body that switches it takes effect at the next test.
class Condition {
 public:
  int evaluate(Interp& in, std::string_view text) {
    // The same script text as last time, outside expression mode.
    if (!ps().expression && !text.empty() && script_.text().data() == text.data() &&
        script_.text().size() == text.size()) {
      expression_ = false;
      return script_.eval(in);
    }
    return evaluateFull(in, text);
  }
  const std::string& value(const Interp& in) const { return expression_ ? exprValue_ : in.result; }
  bool expressionMode() const { return expression_; }

 private:
  int evaluateFull(Interp& in, std::string_view text);
  bool expression_ = false;
  std::string exprValue_;
  PreparedScript script_;
};

}  // namespace orvel
