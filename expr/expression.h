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

}  // namespace orvel
