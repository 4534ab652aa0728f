// The decomposer (infix to prefix commands, constant folding), the
// function-argument reader and the operator reader, each on its own.
#include <gtest/gtest.h>

#include <string>

#include "expr/expression.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "platform/console.h"

using namespace orvel;

namespace {

class ExpressionEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    ps() = ProcessState();
    ps().autoexec = false;
    plat::setCapture(&output_);
    std::vector<std::string> list{"orvel", "-c"};
    orvelSetupInterp(in_, &list);
    decomposeFolding() = false;
  }
  void TearDown() override {
    decomposeFolding() = true;
    plat::setCapture(nullptr);
  }

  // The prefix form of an already bracketed text; "FAIL" when it fails.
  std::string prefix(std::string_view text) {
    std::string out;
    if (DecomposeExpression(in_, text, out) != 0) return "FAIL";
    return out;
  }
  // Bracketing and decomposition, as calc and the preprocessor do it.
  std::string calcForm(std::string text) {
    if (bracket_operators(text) != 0) return "FAIL";
    return prefix(text);
  }
  std::string function(std::string_view name, std::string_view args, size_t* end = nullptr) {
    size_t pos = 0;
    std::string value;
    if (!evaluate_function(in_, name, args, pos, value)) return "NONE";
    if (end) *end = pos;
    return value;
  }

  std::string output_;
  Interp in_;
};

TEST_F(ExpressionEngine, DecomposesLeftToRightIntoPrefixCommands) {
  EXPECT_EQ(prefix("$a + 1"), "[+ $a 1]");
  EXPECT_EQ(prefix("1 +( 2 * 3)"), "[+ 1 [* 2 3]]");
  EXPECT_EQ(prefix("1 + 2 + 3"), "[+ [+ 1 2] 3]");
  EXPECT_EQ(prefix("$x > 0 ? 1 : 2"), "[? [> $x 0] 1 2]");
  EXPECT_EQ(prefix("sqrt($x) * 2"), "[* [funct sqrt $x] 2]");
  EXPECT_EQ(prefix("pow(2,3)"), "[funct pow 2 3]");
  EXPECT_EQ(prefix("0-5 + 1"), "[+ [- 0 5] 1]");
  EXPECT_EQ(prefix("((a )&&( b ))||( c)"), "[|| [&& a b] c]");
  EXPECT_EQ(prefix("$a(1+2)"), "$a([+ 1 2])");
  EXPECT_EQ(prefix("$s eq \"x y\""), "[eq $s \"x y\"]");
  EXPECT_EQ(prefix("[lindex $l 0] == {a b}"), "[== [lindex $l 0] {a b}]");
  EXPECT_EQ(prefix("\"$a + 1\""), "[+ $a 1]");
  EXPECT_EQ(prefix("1, 2 + 3"), "1 [+ 2 3]");
}

TEST_F(ExpressionEngine, UnaryOperatorsAndTernaryBranchesFindTheirOperands) {
  EXPECT_EQ(prefix("!$x"), "[! $x]");
  EXPECT_EQ(prefix("1 + !$x"), "[+ 1 [! $x]]");
  EXPECT_EQ(prefix("$x > 0 ? $a + 1 : $b"), "[? [> $x 0] [+ $a 1] $b]");
  EXPECT_EQ(prefix("$c ? !$a : $b"), "[? $c [! $a] $b]");
  EXPECT_EQ(prefix("$a ? $b ? 1 : 2 : 3"), "[? $a [? $b 1 2] 3]");
}

TEST_F(ExpressionEngine, MissingOperandsFailTheDecomposition) {
  EXPECT_EQ(prefix("1 *"), "FAIL");
  EXPECT_EQ(prefix("* 2"), "FAIL");
  EXPECT_EQ(prefix("1 ? 2"), "FAIL");
  EXPECT_EQ(prefix("(1 + 2"), "FAIL");
  EXPECT_EQ(prefix("[+ 1 2"), "FAIL");
  EXPECT_EQ(prefix("sqrt(2"), "FAIL");
  std::string out = "kept";
  EXPECT_EQ(DecomposeExpression(in_, "1 + 2", out), 0);
  EXPECT_EQ(out, "kept");  // a non-empty out-text means nothing is done
}

TEST_F(ExpressionEngine, FoldingEvaluatesConstantExpressionsOnly) {
  decomposeFolding() = true;
  EXPECT_EQ(calcForm("1 + 2 * 3"), "7");
  EXPECT_EQ(calcForm("2*(3+4)"), "14");
  EXPECT_EQ(calcForm("sqrt(16) + 1"), "5.000000000000000");
  EXPECT_EQ(calcForm("$a + 2 * 3"), "[+ $a 6]");
  // Random draws are not frozen into constants.
  EXPECT_EQ(calcForm("rnd(1, 6) + 1"), "[+ [funct rnd 1 6] 1]");
  // calc turns commas into blanks: both arguments must stay.
  EXPECT_EQ(calcForm("pow(2 3)"), "8.000000000000000");
  EXPECT_EQ(calcForm("1 / 0"), "FAIL");
  EXPECT_NE(output_.find("DecomposeExpression: Error 1: while optimising '[/ 1 0]' (Check /NEO /NES)"),
            std::string::npos);
}

TEST_F(ExpressionEngine, FunctionArgumentsSplitAtTheFirstTopLevelComma) {
  size_t end = 0;
  EXPECT_EQ(function("pow", "(2, 10) + 1", &end), "1024.000000000000000");
  EXPECT_EQ(end, 7u);
  EXPECT_EQ(function("max", "(max(1, 5), 3)"), "5.000000000000000");
  EXPECT_EQ(function("pow", "(1 + 1, 3)"), "8.000000000000000");
  EXPECT_EQ(function("round", "(3.14159, 2)"), "3.14");
  EXPECT_EQ(function("sqrt", "  (16)"), "4.000000000000000");
  // A further comma stays in the second argument, which then evaluates to
  // its operands joined with a blank.
  EXPECT_EQ(function("min", "(7, 2, 1)"), "2.000000000000000");
  EXPECT_EQ(function("sin", "()"), "NONE");
  EXPECT_EQ(function("sqrt", "16"), "NONE");
  EXPECT_EQ(function("sqrt", "(16"), "NONE");
  EXPECT_EQ(function("div", "(1,)"), "0.000000000000000");
  EXPECT_NE(output_.find("Error: Improper argument for function div(1,)"), std::string::npos);
}

TEST(ExpressionOperators, ReaderAndArityFollowTheOperatorTable) {
  struct Case {
    const char* text;
    const char* op;
    size_t length;
    int arity;
  };
  const Case cases[] = {
      {"**2", "**", 2, 2}, {"*=", "*=", 2, 2}, {"* 2", "*", 1, 2},   {"+-1", "-", 2, 2},  {"-+1", "-", 2, 2},
      {"++1", "+", 1, 2},  {"--1", "-", 1, 2}, {"!-1", "!", 1, 1},   {"&&", "&&", 2, 2},  {"||", "||", 2, 2},
      {"<=", "<=", 2, 2},  {"!=", "!=", 2, 2}, {"!x", "!", 1, 1},    {"<<", "<<", 2, 2},  {"+=", "+=", 2, 2},
      {"?", "?", 1, 3},    {", 2", ",", 1, 1}, {"~1", "~", 1, 1},    {"EQ x", "EQ", 2, 2}, {"le\t1", "le", 2, 2},
      {"eqx", "", 0, 0},   {"eq", "", 0, 0},   {"x", "", 0, 0},      {"<+", "<+", 2, 1},  {"?=", "?=", 2, 0},
  };
  for (const Case& c : cases) {
    std::string op;
    size_t skipped = 9;
    std::string text = std::string("  ") + c.text;
    EXPECT_EQ(read_operator(text, 0, op, skipped), c.length) << c.text;
    EXPECT_EQ(skipped, 2u) << c.text;
    EXPECT_EQ(op, c.op) << c.text;
    EXPECT_EQ(operator_arity(op), c.arity) << c.text;
  }
}

}  // namespace
