// Infix expressions: evaluation, operator bracketing and decomposition
// into prefix commands.
#pragma once
#include <string>
#include <string_view>

#include "interp/interp.h"

namespace orvel {

// Evaluates an infix expression; on OK out holds the value text.
int evaluate_subexpression(Interp& in, std::string_view expr, std::string& out);
// Inserts parentheses for precedence; 0 on success, 1 for an improper +/-
// combination.
int bracket_operators(std::string& text);
// Rewrites infix text into nested prefix command text; 0 on success.
int DecomposeExpression(Interp& in, std::string_view text, std::string& out);

// The core infix evaluator: evaluates text from pos to its end (pos ends at
// the end). True with a value in value; false with none. err receives the
// fault code (0 when there was none).
bool evaluate_infix(Interp& in, std::string_view text, size_t& pos, int& err, std::string& value);
// Evaluates the math function name with its argument list read from
// text[pos] (blanks, then "(...)"); pos moves past the closing parenthesis.
// False when the call yields no value.
bool evaluate_function(Interp& in, std::string_view name, std::string_view text, size_t& pos,
                       std::string& value);

// The operator at text[pos] (blanks and tabs before it are skipped and
// counted in skipped): its text (at most two characters) in op and the
// number of characters it occupies (0 when there is none).
size_t read_operator(std::string_view text, size_t pos, std::string& op, size_t& skipped);
// Operand count of an operator text: 1, 2, 3 (the ternary "?") or 0.
int operator_arity(std::string_view op);

// The decomposer's constant-folding switch (on by default).
bool& decomposeFolding();

}  // namespace orvel
