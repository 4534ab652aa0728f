// The math functions that infix expressions may call: name(arg) or
// name(arg1, arg2).
#pragma once
#include <string_view>

namespace orvel {

struct MathFunction {
  const char* name;
  int args;  // the argument count `arity` reports
};

// The table in listing order.
const MathFunction* mathFunctions();
int mathFunctionCount();
// The entry of a name (case-insensitive), or nullptr.
const MathFunction* findMathFunction(std::string_view name);

}  // namespace orvel
