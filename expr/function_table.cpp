#include "expr/function_table.h"

#include "support/ascii_case.h"

namespace orvel {

namespace {
constexpr MathFunction kFunctions[] = {
    {"abs", 1},   {"acos", 1},    {"asin", 1},   {"atan", 1},     {"bool", 1},  {"ceil", 1},  {"decr", 1},
    {"div", 2},   {"cos", 1},     {"cosh", 1},   {"degrees", 1},  {"double", 1}, {"exp", 1},  {"fib", 1},
    {"fix", 1},   {"floor", 1},   {"fmod", 2},   {"fraction", 1}, {"hypot", 2}, {"incr", 1},  {"int", 1},
    {"integral", 1}, {"log", 1},  {"log10", 1},  {"max", 2},      {"min", 2},   {"mul", 2},   {"pow", 2},
    {"rand", 0},  {"rnd", 2},     {"round", 2},  {"sgn", 1},      {"sin", 1},   {"sinh", 1},  {"sqr", 1},
    {"sqrt", 1},  {"srand", 0},   {"tan", 1},    {"tanh", 1},     {"wide", 1},
};
constexpr int kCount = static_cast<int>(sizeof kFunctions / sizeof kFunctions[0]);
static_assert(kCount == 40, "the function table has 40 entries");
}  // namespace

const MathFunction* mathFunctions() { return kFunctions; }
int mathFunctionCount() { return kCount; }

const MathFunction* findMathFunction(std::string_view name) {
  if (name.empty() || name.size() > 8) return nullptr;
  for (const MathFunction& f : kFunctions)
    if (equalsNoCase(name, f.name)) return &f;
  return nullptr;
}

}  // namespace orvel
