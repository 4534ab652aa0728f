// The macro preprocessor's text pass, balance checks, macro substitution,
// expression rewriting and the radix-literal pass.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "interp/interp.h"
#include "interp/process_state.h"
#include "interp/script_runner.h"
#include "platform/console.h"
#include "preproc/preprocessor.h"
#include "support/config.h"

using namespace orvel;

namespace {

class Preproc : public ::testing::Test {
 protected:
  void SetUp() override {
    ps() = ProcessState();
    ps().escape = false;
    ps().autoexec = false;
    plat::setCapture(&console);
    std::vector<std::string> list{"orvel", "-c", "first arg"};
    orvelSetupInterp(in, &list);
  }
  void TearDown() override {
    plat::setCapture(nullptr);
    ps() = ProcessState();
  }
  // Preprocesses src; the result code is returned, the text kept in text.
  int run(const std::string& src, bool allowEval = true, bool reportAlways = true) {
    text = src;
    exitCode = -1;
    return preprocess_script(in, &text, "", allowEval, reportAlways, &exitCode);
  }
  // The processed text (expects success).
  std::string pre(const std::string& src) {
    int rc = run(src);
    EXPECT_GT(rc, 0) << "source: " << src << "\nconsole: " << console;
    return text;
  }

  Interp in;
  std::string console, text;
  int exitCode = -1;
};

TEST_F(Preproc, DefinesExpandAsWordsAndAsWordTails) {
  EXPECT_EQ(pre("#define MAX 10\nset n MAX\n#undef MAX\nset m MAX"), "set n 10\nset m MAX");
  // A name matches the tail of a longer word, and quoted text is left alone.
  EXPECT_EQ(pre("#define bc X\nabc \"bc\" bcd"), "aX \"bc\" bcd");
  // The run ends at blanks, tabs, closing brackets and quotes, not at ';'.
  EXPECT_EQ(pre("#define N 5\n{N} [N] (N) N;"), "{5} [5] (5) N;");
  // A value naming another macro takes that macro's value; values are
  // substituted word by word.
  EXPECT_EQ(pre("#define A 1\n#define B A\n#define C {A B}\nputs B C"), "puts 1 {1 1}");
  // With no macro defined, __LINE__ is not expanded; with one, it is.
  EXPECT_EQ(pre("puts __LINE__"), "puts __LINE__");
  EXPECT_EQ(pre("#define X 1\n\nputs __LINE__"), "puts 3");
  // Expansion reaches the last word of a text without a final line end.
  EXPECT_EQ(pre("#define Z 9\nputs Z"), "puts 9");
}

TEST_F(Preproc, DefineValues) {
  EXPECT_EQ(pre("#define EMPTY\nputs EMPTY"), "puts 1");
  EXPECT_EQ(pre("#define E \"\"\nset x E"), "set x \"\"");
  EXPECT_EQ(pre("#define S \"a b\" # comment\nputs S"), "puts a b");
  EXPECT_EQ(pre("#define Q \"say \\\"hi\\\"\"\nputs Q"), "puts say \"hi\"");
  EXPECT_EQ(pre("#define V  spaced value   # note\nputs {V}"), "puts {spaced value}");
  EXPECT_EQ(pre("#define H a\\#b\nputs H"), "puts a#b");
  EXPECT_EQ(pre("\n\n#define L \"#__LINE__\"\nputs L"), "puts 3");
  EXPECT_EQ(pre("#define F \"#__file__\"\nputs F"), "puts <unknown>");
  ps().scriptName = "/tmp/x.orv";
  EXPECT_EQ(pre("puts #__FILE__ ok"), "puts /tmp/x.orv ok");
  EXPECT_EQ(pre("#define R 1\n#define R 2\nputs R"), "puts 2");
}

TEST_F(Preproc, NdebugSwitch) {
  pre("#define NDEBUG\nputs x");
  EXPECT_TRUE(ps().ndebug);
  pre("#undef ndebug\nputs x");
  EXPECT_FALSE(ps().ndebug);
}

TEST_F(Preproc, Conditionals) {
  const char* src = "#ifdef X\nputs a\n#else\nputs b\n#endif\nputs c";
  EXPECT_EQ(pre(src), "puts b\nputs c");
  EXPECT_EQ(pre(std::string("#define X\n") + src), "puts a\nputs c");
  EXPECT_EQ(pre("#ifndef X\nputs a\n#ELSE\nputs b\n#EndIf"), "puts a");
  // A skipped branch writes nothing, not even its comments or directives.
  EXPECT_EQ(pre("#ifdef X\n#define Y\n\"odd\"\"\n# #endif\n#endif\nputs Y"), "puts Y");
  EXPECT_EQ(run("#ifdef X\n#ifdef Y\n#endif\n#endif\nputs a"), PP_OPEN_CONDITIONAL);
  EXPECT_NE(console.find("#if(def) without matching #endif, or nested #if(def) near line: 2"), std::string::npos);
  EXPECT_EQ(run("puts a\n#ifdef X\nputs b"), PP_OPEN_CONDITIONAL);
  EXPECT_EQ(run("puts a\n#endif"), PP_UNEXPECTED_ENDIF);
  EXPECT_EQ(run("puts a\n#else\nputs b"), PP_UNHANDLED);
}

TEST_F(Preproc, IfAndExecEvaluate) {
  EXPECT_EQ(pre("#if 0\nputs no\n#endif\n#if {}\nputs yes\n#endif"), "puts yes");
  EXPECT_EQ(pre("#define LIMIT 3\n#exec set v LIMIT\n#if {== $v 3}\nputs three\n#else\nputs other\n#endif"),
            "puts three");
  EXPECT_EQ(pre("#if [== $argv(1) {first arg}] # the caller's arguments\nputs args\n#endif"), "puts args");
  // A result that is not a number counts as 0.
  EXPECT_EQ(pre("#if {set argv(1)}\nputs args\n#endif\nputs x"), "puts x");
  EXPECT_EQ(run("#if nosuchcommand\nputs x\n#endif"), PP_UNHANDLED);
  EXPECT_NE(console.find("Error: Error in #if or #exec macro expression 'nosuchcommand'"), std::string::npos);
  EXPECT_EQ(run("#if 1 /* open\nputs x\n#endif"), PP_UNHANDLED);
  EXPECT_NE(console.find("Error: Mismatched /* ... */ comment"), std::string::npos);
  EXPECT_EQ(currentInterp(), &in);  // the private interpreter is gone
  // Without evaluation #if keeps its branch and #exec does nothing.
  text = "#if 0\nputs kept\n#endif\n#exec puts side-effect";
  EXPECT_GT(preprocess_script(in, &text, "", false, true), 0);
  EXPECT_EQ(text, "puts kept");
  EXPECT_EQ(console.find("side-effect"), std::string::npos);
}

TEST_F(Preproc, CommentsAndLineNumbers) {
  EXPECT_EQ(pre("puts a\n# comment\n  ## another\n/* block\ncomment */puts b #__LINE__ rest\nputs \"q\"#__LINE__ x"),
            "puts a\nputs b 5\nputs \"q\"6");
  EXPECT_EQ(pre("set a 1 ;# trailing comment\nputs $a"), "set a 1 ;\nputs $a");
  EXPECT_EQ(pre("puts \"# not a comment\" \\# x"), "puts \"# not a comment\" # x");
  EXPECT_EQ(pre("  #notadirective\nputs x"), "#notadirective\nputs x");
  EXPECT_EQ(pre("puts a\\\n  b\nputs #__LINE__"), "puts a  b\nputs 3");
  EXPECT_EQ(pre("puts a\r\n# c\r\nputs b\r\n"), "puts a\r\nputs b");
  EXPECT_EQ(run("puts a /* open"), PP_UNHANDLED);
  ps().lastExpandLine = 0;
  pre("puts a\nputs {*}$l\nputs \"\\{*}\"");
  EXPECT_EQ(ps().lastExpandLine, 2);
}

TEST_F(Preproc, EchoExitAndDeflist) {
  EXPECT_EQ(pre("#define WHO world\n#echo \"hello\\tWHO\" # note\n#echo\nputs x"), "puts x");
  EXPECT_EQ(console, "hello\tworld\r\n\r\n");
  console.clear();
  pre("#define A 1\n#define LONGER_THAN_FIFTEEN v\n#deflist\nputs x");
  EXPECT_EQ(console,
            "MPP deflist:\r\n------------\r\n__LINE__       \t3\r\nA              \t1\r\nLONGER_THAN_FIF\tv\r\n");
  EXPECT_EQ(pre("puts a\n#ifndef X\n#exit\nputs b\n{"), "puts a");
  EXPECT_EQ(run("puts a\n#exit 7\nputs b\n{"), PP_EXIT);
  EXPECT_EQ(exitCode, 7);
  EXPECT_EQ(text, "puts a");
}

TEST_F(Preproc, Escapes) {
  ps().escape = true;
  EXPECT_EQ(pre("puts \"a\\tb\\x41\\101\\0\\x00\\x22\\\\\\\"\\q\""), "puts \"a\tbAA?\\x00\\x22\\\\\\\"\\q\"");
  EXPECT_EQ(run("puts a\nputs \"\\xZZ\""), PP_BAD_ESCAPE);
  EXPECT_NE(console.find("Error: Invalid Hex or Octal escape sequence near line 2"), std::string::npos);
  ps().escape = false;
  EXPECT_EQ(pre("puts \"a\\tb\\xZZ\""), "puts \"a\\tb\\xZZ\"");
}

TEST_F(Preproc, BalanceChecks) {
  EXPECT_EQ(run("puts \"abc\nputs x"), PP_QUOTES);
  EXPECT_NE(console.find("Error: Quote mismatch near line 1 (Count:1)"), std::string::npos);
  EXPECT_NE(console.find("Error: Mismatched double quotes (1)"), std::string::npos);
  console.clear();
  EXPECT_EQ(run("puts a\nproc p {} {\n  if {1} {\n}\nputs b"), PP_BRACES);
  EXPECT_EQ(console,
            "Preprocessor error near line 2\r\nError: Near line 2\r\nError: 1 too many { braces\r\n"
            "Error: Open brace started at line 2, last closing brace at 4\r\n");
  console.clear();
  EXPECT_EQ(run("puts a}\nputs b"), PP_BRACES);
  EXPECT_NE(console.find("1 too many } braces"), std::string::npos);
  console.clear();
  EXPECT_EQ(run("puts [a\nputs b"), PP_BRACKETS);
  EXPECT_NE(console.find("Error: 1 too many '[' brackets. Missing ']' bracket(s) near line 1"), std::string::npos);
  console.clear();
  EXPECT_EQ(run("puts a)\nputs b)"), PP_PARENS);
  EXPECT_EQ(console, "Error: 2 too many ) brackets\r\n");
  // Characters in quotes and escaped ones are not counted.
  EXPECT_GT(run("puts \"{[(\" \\{ \\] \\)"), 0);
  // Failures leave the text as it was.
  EXPECT_EQ(run("#define X 1\nputs X {"), PP_BRACES);
  EXPECT_EQ(text, "#define X 1\nputs X {");
  // The diagnostics follow the echo and debug switches.
  console.clear();
  ps().echo = false;
  EXPECT_EQ(run("puts {", true, false), PP_BRACES);
  EXPECT_EQ(console, "");
  EXPECT_EQ(run("# only comments\n/* and this */\n"), PP_NO_TEXT_BACK);
  EXPECT_EQ(run(""), 0);
  EXPECT_EQ(preprocess_script(in, nullptr, "", true, true), PP_NO_TEXT);
}

TEST(SubstituteMacros, WordsSeparatorsAndQuotes) {
  MacroTable m;
  m.define("A", "1");
  m.define("B", "two words");
  EXPECT_EQ(substitute_macros(m, "A+A A;B [A] {B}'A'"), "A+A 1;two words [1] {two words}'1'");
  EXPECT_EQ(substitute_macros(m, "\"A B\""), "A B");
  EXPECT_EQ(substitute_macros(m, "\"\""), "\"\"");
  EXPECT_EQ(substitute_macros(m, "\"A\" x"), "\"A\" x");
  m.undefine("A");
  EXPECT_EQ(substitute_macros(m, "A B"), "A two words");
  m.setLine(42);
  EXPECT_EQ(substitute_macros(m, "__LINE__"), "42");
}

TEST_F(Preproc, ExpressionRewriting) {
  EXPECT_EQ(pre("set y [calc $a * 2 + 1]"), "set y [+ [* $a 2] 1]");
  EXPECT_EQ(pre("if {calc $x * 2} {}"), "if {* $x 2} {}");
  EXPECT_EQ(pre("set y [calc {$a + 1} -explain]"), "set y [+ $a 1]");
  EXPECT_EQ(pre("set y [calc ]\nset z [calc \"\"]"), "set y [expr {}]\nset z [expr {}]");
  EXPECT_EQ(pre("set y [calc $x > 0 ? 1 : 2]"), "set y [? [> $x 0] 1 2]");
  EXPECT_EQ(pre("set y [calc [calc $a + 1] * $b]"), "set y [* [+ $a 1] $b]");
  EXPECT_EQ(pre("set y [expr {$a + $b * 2}]"), "set y [expr $a +( $b * 2)]");
  EXPECT_EQ(pre("set y [expr {}]\\[calc x\\]"), "set y [expr {}]\\[calc x\\]");
  EXPECT_EQ(pre("set calculator [calcx 1]"), "set calculator [calcx 1]");
  EXPECT_EQ(run("puts \"[calc 1 +\""), PP_CALC);
  EXPECT_NE(console.find("Preprocessor: Bad expression at line 1, near '[calc 1 +\"'"), std::string::npos);
  EXPECT_EQ(run("set y [calc 1 +++ 2]"), PP_CALC);
  EXPECT_NE(console.find("Preprocessor: Improper combination of + or - in '1 +++ 2'"), std::string::npos);
  EXPECT_EQ(text, "set y [calc 1 +++ 2]");
}

std::string radix(std::string s) {
  convert_radix_literals(s);
  return s;
}

TEST(RadixLiterals, ConvertsOutsideQuotes) {
  EXPECT_EQ(radix("set m 0xFF; set n &h10 0b101 &B11 0o17 0X1f"), "set m 255; set n 16 5 3 15 31");
  EXPECT_EQ(radix("puts \"0x10\" 0x10 \"a\\\"0x10\" 0x10"), "puts \"0x10\" 16 \"a\\\"0x10\" 16");
  EXPECT_EQ(radix("puts \\\\\"0x10\" 0x10"), "puts \\\\\"0x10\" 16");
  EXPECT_EQ(radix("{0x10} [- 0x10] (0b1)"), "{16} [- 16] (1)");
  EXPECT_EQ(radix("0xFFFFFFFFFFFFFFFF 0o1777777777777777777777"), "18446744073709551615 -1");
}

TEST(RadixLiterals, LeavesOtherWordsAlone) {
  // Not a literal of its radix, too large, or glued to a longer word.
  EXPECT_EQ(radix("0x 0xG1 0x1G 0b102 0o8 0h10 &x1 &o7 0x1.5 &hash"), "0x 0xG1 0x1G 0b102 0o8 0h10 &x1 &o7 0x1.5 &hash");
  EXPECT_EQ(radix("0x10000000000000000 v0x1 100b1 a_0x1 &&b1"), "0x10000000000000000 v0x1 100b1 a_0x1 &&b1");
  EXPECT_EQ(radix(""), "");
  EXPECT_EQ(radix("0"), "0");
}

TEST_F(Preproc, OptionResetReadsConfig) {
  configClear();
  configLoadIniText(
      "[Other]\r\nBackslashEscapes=yes\r\n[ config ]\r\n  BackslashEscapes = yes\r\nbackslashescapes=\"true\" ; on\r\n"
      "StackTrace=1\r\nAutoExec=maybe\r\n[Config]\r\nVerbose=yes\r\n");
  std::string v;
  EXPECT_TRUE(configValue("BACKSLASHESCAPES", v));
  EXPECT_EQ(v, "\"true\"");
  EXPECT_FALSE(configValue("Verbose", v));  // only the first Config section counts
  ps().escape = false;
  ps().autoexec = true;
  ps().verbose = true;
  EXPECT_EQ(orvelEval(in, "option escape reset; option stacktrace reset; option echo reset; option autoexec reset"), OK);
  EXPECT_TRUE(ps().escape);
  EXPECT_TRUE(ps().stacktrace);
  EXPECT_TRUE(ps().verbose);      // no key: unchanged
  EXPECT_FALSE(ps().autoexec);    // "maybe" reads as false
  configClear();
}

// The simulation's script is about 112 KB; the preprocessor runs on it at
// every start, so it has to be quick.
TEST_F(Preproc, LargeScriptTiming) {
  std::string block =
      "#define TRACK_COUNT 12\n"
      "#ifdef SHOW_DEMO\n"
      "puts \"demo mode\"\n"
      "#else\n"
      "set ::demo 0 ;# normal running\n"
      "#endif\n"
      "proc lever_reverse {n} {\n"
      "  global state\n"
      "  # draw the lever and play its sound\n"
      "  set x [calc $n * 16 + 4]\n"
      "  if {> $n TRACK_COUNT} { puts \"Bad lever $n\"#__LINE__\n    return }\n"
      "  set state(lever,$n) R\n"
      "  win draw lever $x 0x1F {calc $n % 2}\n"
      "  play_wav $::sound_reverse\n"
      "}\n"
      "/* block bell codes:\n   1-2-1 and 3-1 */\n"
      "proc ring {count box} {\n"
      "  for {set i 0} {< $i $count} {incr i} {\n"
      "    bellcode $box [expr {$i + 1}]\n"
      "    snooze 250\n"
      "  }\n"
      "}\n";
  std::string script;
  // A long macro list must not slow the pass down.
  for (int i = 0; i < 300; i++) script += "#define SIGNAL_" + std::to_string(i) + "_ASPECT " + std::to_string(i) + "\n";
  while (script.size() < 112 * 1024) script += block;
  double best = 1e9;
  for (int round = 0; round < 5; round++) {
    text = script;
    auto start = std::chrono::steady_clock::now();
    int rc = preprocess_script(in, &text, "", true, true);
    convert_radix_literals(text);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    ASSERT_GT(rc, 0) << console;
    if (ms < best) best = ms;
  }
  std::printf("[ timing   ] %llu bytes preprocessed in %.2f ms\n", static_cast<unsigned long long>(script.size()), best);
  EXPECT_NE(text.find("set x [+ [* $n 16] 4]"), std::string::npos);
  EXPECT_NE(text.find("if {> $n 12}"), std::string::npos);
  EXPECT_NE(text.find("lever $x 31 {% $n 2}"), std::string::npos);
  // Generous bound: it only catches a pass that has turned quadratic.
  EXPECT_LT(best, 1000.0);
}

}  // namespace
