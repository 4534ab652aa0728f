// The list splitter and builder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/core/list_common.h"
#include "interp/list_text.h"

using namespace orvel;

namespace {
std::vector<std::string> split(std::string_view text, bool* quoteEol = nullptr) {
  std::vector<std::string> out;
  TclTokenised3(text, out, quoteEol);
  return out;
}
using V = std::vector<std::string>;
}  // namespace

TEST(ListSplit, GroupsBlanksAndDelimiters) {
  EXPECT_EQ(split("a {b c} \"d e\" {}"), (V{"a", "b c", "d e", ""}));
  EXPECT_EQ(split(" \t\r\n a\r\n\tb \t"), (V{"a", "b"}));
  EXPECT_EQ(split("{a {b {c}} d}"), (V{"a {b {c}} d"}));
  EXPECT_EQ(split("\"{x\" y"), (V{"{x", "y"}));
  EXPECT_EQ(split("a\\ b"), (V{"a\\", "b"}));  // no backslash processing
  EXPECT_TRUE(split("").empty());
  EXPECT_TRUE(split(" \r\n").empty());
}

TEST(ListSplit, UnclosedGroupsRunToTheEnd) {
  EXPECT_EQ(split("a {b c"), (V{"a", "b c"}));
  EXPECT_EQ(split("a \"b c"), (V{"a", "b c"}));
  EXPECT_EQ(split("{"), (V{""}));
}

TEST(ListSplit, FlagsAQuoteFollowedByALineEnd) {
  bool eol = false;
  split("\"a\"\r\nb", &eol);
  EXPECT_TRUE(eol);
  split("\"a\" b\r\n\"c\"", &eol);
  EXPECT_FALSE(eol);
  split("{a}\nb", &eol);
  EXPECT_FALSE(eol);
}

TEST(ListBuild, QuotesOnlyWhatNeedsIt) {
  EXPECT_EQ(listBuild({"a", "", "b c", "t\tu", "{x y}", "z"}), "a {} {b c} {t\tu} {x y} z");
  EXPECT_EQ(listQuote(""), "{}");
  EXPECT_EQ(listQuote("p q"), "{p q}");
  EXPECT_EQ(listQuote("pq"), "pq");
  EXPECT_EQ(listBuild({}), "");
}

TEST(ListBuild, RoundTripsElementsWithBlanks) {
  V elements{"one", "two words", "", "tab\there", "line\nbreak", "cr\rx", "x"};
  EXPECT_EQ(split(listBuild(elements)), elements);
}

TEST(ListIndex, ReadsIntegersAndEndForms) {
  int64_t v = 0;
  EXPECT_TRUE(lists::listIndex("3", 5, v));
  EXPECT_EQ(v, 3);
  EXPECT_TRUE(lists::listIndex("end", 5, v));
  EXPECT_EQ(v, 4);
  EXPECT_TRUE(lists::listIndex("END-2", 5, v));
  EXPECT_EQ(v, 2);
  EXPECT_TRUE(lists::listIndex("end+1", 5, v));
  EXPECT_EQ(v, 5);
  EXPECT_TRUE(lists::listIndex("0x10", 5, v));
  EXPECT_EQ(v, 16);
  EXPECT_TRUE(lists::listIndex(" -1 ", 5, v));
  EXPECT_EQ(v, -1);
  EXPECT_FALSE(lists::listIndex("x", 5, v));
  EXPECT_FALSE(lists::listIndex("1x", 5, v));
  EXPECT_FALSE(lists::listIndex("end-", 5, v));
  EXPECT_FALSE(lists::listIndex("endx", 5, v));
  EXPECT_FALSE(lists::listIndex("0xg", 5, v));
  EXPECT_FALSE(lists::listIndex("", 5, v));
  // Huge offsets cannot overflow.
  EXPECT_TRUE(lists::listIndex("end-99999999999999999999", 5, v));
  EXPECT_LT(v, 0);
}
