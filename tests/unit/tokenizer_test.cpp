#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interp/tokenizer.h"

using namespace orvel;

namespace {

struct Tok {
  int type;
  std::string text;
  bool operator==(const Tok& o) const { return type == o.type && text == o.text; }
};

std::ostream& operator<<(std::ostream& os, const Tok& t) { return os << t.type << ":'" << t.text << "'"; }

// All tokens up to and including the first PT_EOF; a parse error ends the
// list with type -1.
std::vector<Tok> tokens(const std::string& text) {
  Parser p;
  parserInit(p, text);
  std::vector<Tok> out;
  for (int guard = 0; guard < 1000; guard++) {
    if (nextToken(p)) {
      out.push_back({-1, ""});
      break;
    }
    out.push_back({p.type, std::string(p.token())});
    if (p.type == PT_EOF) break;
  }
  return out;
}

// Words as the evaluator assembles them: adjacent word parts join.
std::vector<std::string> wordTexts(const std::string& text) {
  std::vector<std::string> out;
  int prev = PT_EOL;
  for (auto& t : tokens(text)) {
    if (t.type == PT_ESC || t.type == PT_STR || t.type == PT_VAR || t.type == PT_CMD) {
      if (prev == PT_SEP || prev == PT_EOL) out.push_back(t.text);
      else out.back() += t.text;
    }
    prev = t.type;
  }
  return out;
}

}  // namespace

TEST(Tokenizer, EmptyTextEndsAtOnce) {
  auto t = tokens("");
  EXPECT_EQ(t.back().type, PT_EOF);
  EXPECT_LE(t.size(), 2u);
  // A last command is always closed by one EOL before EOF.
  auto u = tokens("puts x");
  ASSERT_GE(u.size(), 3u);
  EXPECT_EQ(u[u.size() - 2].type, PT_EOL);
}

TEST(Tokenizer, CommandsSeparatedBySemicolon) {
  auto t = tokens("set a 1;set b 2");
  std::vector<int> types;
  for (auto& x : t) types.push_back(x.type);
  std::vector<int> want{PT_ESC, PT_SEP, PT_ESC, PT_SEP, PT_ESC, PT_EOL, PT_ESC, PT_SEP,
                        PT_ESC, PT_SEP, PT_ESC, PT_EOL, PT_EOF};
  EXPECT_EQ(types, want);
  EXPECT_EQ(t[6].text, "set");
}

TEST(Tokenizer, CommentsOnlyWhereACommandMayStart) {
  EXPECT_EQ(wordTexts("  # a comment\nputs x"), (std::vector<std::string>{"puts", "x"}));
  EXPECT_EQ(wordTexts("puts #x"), (std::vector<std::string>{"puts", "#x"}));
}

TEST(Tokenizer, QuotesAndBracesJoinWordParts) {
  // "a b"c: the quoted part and the plain part are consecutive tokens.
  EXPECT_EQ(wordTexts("puts \"a b\"c"), (std::vector<std::string>{"puts", "a bc"}));
  EXPECT_EQ(wordTexts("\"a\"\"b\""), (std::vector<std::string>{"ab"}));
  EXPECT_EQ(wordTexts("\"a\"{b}"), (std::vector<std::string>{"ab"}));
  EXPECT_EQ(wordTexts("{a}{b}"), (std::vector<std::string>{"ab"}));
  EXPECT_EQ(wordTexts("x\"a b\""), (std::vector<std::string>{"x\"a b"}));
  EXPECT_EQ(wordTexts("f(\"x\")"), (std::vector<std::string>{"f(\"x\")"}));
}

TEST(Tokenizer, BracesInsideQuotesInsideBracesDoNotCount) {
  EXPECT_EQ(wordTexts("{ \"}\" }"), (std::vector<std::string>{" \"}\" "}));
  auto t = tokens("{ \" }");
  EXPECT_EQ(t[0], (Tok{PT_STR, " \" }"}));
}

TEST(Tokenizer, Variables) {
  Parser p;
  parserInit(p, "$a(1)");
  ASSERT_EQ(nextToken(p), 0);
  EXPECT_EQ(p.type, PT_VAR);
  EXPECT_EQ(std::string(p.token()), "a");
  EXPECT_TRUE(p.hasSubscript);
  EXPECT_EQ(std::string(p.subscript()), "1");

  auto t = tokens("$a(1");
  EXPECT_EQ(t[0], (Tok{PT_VAR, "a"}));
  EXPECT_EQ(t[1], (Tok{PT_ESC, "(1"}));

  EXPECT_EQ(tokens("$::x")[0], (Tok{PT_VAR, "::x"}));
  EXPECT_EQ(tokens("$a::b")[0], (Tok{PT_VAR, "a::b"}));
  EXPECT_EQ(tokens("$a.b")[0], (Tok{PT_VAR, "a.b"}));
  EXPECT_EQ(tokens("${a b}")[0], (Tok{PT_VAR, "{a b}"}));
  EXPECT_EQ(tokens("$$name")[0], (Tok{PT_VAR, "$name"}));
  EXPECT_EQ(tokens("$ x")[0], (Tok{PT_STR, "$"}));
  EXPECT_EQ(tokens("$")[0], (Tok{PT_STR, "$"}));
}

TEST(Tokenizer, ParseErrors) {
  EXPECT_EQ(tokens("$(x)")[0].type, -1);
  EXPECT_EQ(tokens("${abc")[0].type, -1);
  EXPECT_EQ(tokens("{*} $list").back().type, -1);
}

TEST(Tokenizer, Expansion) {
  auto t = tokens("{*}$list");
  EXPECT_EQ(t[0].type, PT_EXPAND);
  EXPECT_EQ(t[1], (Tok{PT_VAR, "list"}));
}

TEST(Tokenizer, CommandSubstitution) {
  EXPECT_EQ(tokens("[a [b] c]")[0], (Tok{PT_CMD, "a [b] c"}));
  EXPECT_EQ(tokens("[a {]} b]")[0], (Tok{PT_CMD, "a {]} b"}));
  EXPECT_EQ(tokens("[abc")[0], (Tok{PT_CMD, "abc"}));
}

TEST(Tokenizer, Backslashes) {
  EXPECT_EQ(wordTexts("a\\ b"), (std::vector<std::string>{"a\\ b"}));
  EXPECT_EQ(wordTexts("\"\\$x\""), (std::vector<std::string>{"\\$x"}));
  EXPECT_EQ(tokens("ab\\ ")[0], (Tok{PT_ESC, "ab\\ "}));
}

TEST(Tokenizer, StopsAtNulAndNeverLoops) {
  std::string withNul("puts a\0puts b", 13);
  auto t = tokens(withNul);
  EXPECT_EQ(t.back().type, PT_EOF);
  EXPECT_EQ(wordTexts(withNul), (std::vector<std::string>{"puts", "a"}));
  // Every prefix of a nasty text ends in EOF or a parse error.
  std::string nasty = "{\"[$a(${b\\ }])\"}{*}\"$ [";
  for (size_t n = 0; n <= nasty.size(); n++) {
    auto r = tokens(nasty.substr(0, n));
    ASSERT_FALSE(r.empty());
    EXPECT_TRUE(r.back().type == PT_EOF || r.back().type == -1) << n;
  }
}
