// The operator bracketing pass: the parentheses it inserts decide the
// precedence of both evaluators.
#include <gtest/gtest.h>

#include <string>

#include "expr/expression.h"

using orvel::bracket_operators;

namespace {
std::string bracketed(std::string text, int expectCode = 0) {
  EXPECT_EQ(bracket_operators(text), expectCode) << text;
  return text;
}
}  // namespace

TEST(ExpressionBracketing, MultiplicationBindsTighterThanAddition) {
  EXPECT_EQ(bracketed("1 + 2 * 3"), "1 +( 2 * 3)");
  EXPECT_EQ(bracketed("a + b * c - d"), "a +( b * c )- d");
  EXPECT_EQ(bracketed("2 * 3 + 1"), "2 * 3 + 1");
  EXPECT_EQ(bracketed("1+2*3"), "1+(2*3)");
  EXPECT_EQ(bracketed("1 + 2 * 3 * 4"), "1 +( 2 * 3 * 4)");
  EXPECT_EQ(bracketed("1 - 2 / 3 + 4 ** 2"), "1 -( 2 / 3 )+( 4 ** 2)");
  EXPECT_EQ(bracketed("1 + (2) * 3"), "1 +( (2) * 3)");
  EXPECT_EQ(bracketed("1 + 2 * (3) + 4"), "1 +( 2 * (3) )+ 4");
}

TEST(ExpressionBracketing, InnerParenthesesAndFunctionCallsAreBracketedToo) {
  EXPECT_EQ(bracketed("2 * (3 + 4 * 5)"), "2 * (3 +( 4 * 5))");
  EXPECT_EQ(bracketed("1 + sqrt(4) * 2"), "1 +( sqrt(4) * 2)");
  EXPECT_EQ(bracketed("max(1 + 2 * 3, 4)"), "max(1 +( 2 * 3), 4)");
}

TEST(ExpressionBracketing, LeadingSignsGetAZero) {
  EXPECT_EQ(bracketed("-5 + 1"), "0-5 + 1");
  EXPECT_EQ(bracketed("- 5"), "0- 5");
  EXPECT_EQ(bracketed("-(1 + 2)"), "0-(1 + 2)");
  EXPECT_EQ(bracketed("+5 + 1"), "5 + 1");
  EXPECT_EQ(bracketed("2 * -3 + 1"), "2 * -3 + 1");
}

TEST(ExpressionBracketing, LogicalOperatorsBindLoosest) {
  EXPECT_EQ(bracketed("a && b || c"), "((a )&&( b ))||( c)");
  EXPECT_EQ(bracketed("$x > 1\t&& $y"), "($x > 1 )&&( $y)");
  // Grouping inside parentheses, and a second pass over a result, keep the
  // groups balanced and add nothing.
  EXPECT_EQ(bracketed("($a && $b || $c) && $d"), "((($a )&&( $b ))||( $c)) &&( $d)");
  EXPECT_EQ(bracketed("((a )&&( b ))||( c)"), "((a )&&( b ))||( c)");
}

TEST(ExpressionBracketing, ImproperSignRunsFail) {
  std::string text = "1 +++ 2";
  EXPECT_EQ(bracket_operators(text), 1);
  EXPECT_EQ(text, "1 +++ 2");  // unchanged on failure
  EXPECT_EQ(bracketed("1 -+- 2", 1), "1 -+- 2");
  EXPECT_EQ(bracketed("(1 + (2 --- 3))", 1), "(1 + (2 --- 3))");
}

TEST(ExpressionBracketing, SubstitutionsBracesAndQuotesPassThrough) {
  EXPECT_EQ(bracketed("[+++ x] + 1"), "[+++ x] + 1");
  EXPECT_EQ(bracketed("{a && b} eq $s && 1"), "({a && b} eq $s )&&( 1)");
  EXPECT_EQ(bracketed("\"a + b\" eq $s"), "\"a + b\" eq $s");
  EXPECT_EQ(bracketed("~5 + 1"), "~5 + 1");
  EXPECT_EQ(bracketed("$a(1) * 2 + 1"), "$a(1) * 2 + 1");
}

TEST(ExpressionBracketing, TextsWithoutAdditiveOrLogicalOperatorsAreLeftAlone) {
  EXPECT_EQ(bracketed("x * y / z"), "x * y / z");
  EXPECT_EQ(bracketed(""), "");
}

TEST(ExpressionBracketing, UnbalancedAndHugeTextsDoNotCrash) {
  // An unmatched parenthesis stays unmatched for the evaluator to report.
  EXPECT_EQ(bracketed("(1 + 2"), "(1 + 2");
  std::string deep = std::string(5000, '(') + "1+2" + std::string(5000, ')');
  EXPECT_NE(bracket_operators(deep), 0);
  std::string wide;
  for (int i = 0; i < 3000; i++) wide += "1 + ";
  wide += "1";
  EXPECT_NE(bracket_operators(wide), 0);
  std::string junk = ")(+*-/&|&&||**<<>>!=,?~\t\"{[(";
  bracket_operators(junk);
}
