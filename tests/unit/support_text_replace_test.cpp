#include <gtest/gtest.h>

#include <string>

#include "support/text_replace.h"

TEST(TextReplace, ReplaceAll) {
  std::string t = "a.b.c";
  EXPECT_TRUE(replaceAll(t, ".", "--"));
  EXPECT_EQ(t, "a--b--c");
  t = "aaaa";
  EXPECT_TRUE(replaceAll(t, "aa", "a"));  // non-overlapping, left to right
  EXPECT_EQ(t, "aa");
  t = "xyx";
  EXPECT_TRUE(replaceAll(t, "x", "xx"));  // replacement containing the search text
  EXPECT_EQ(t, "xxyxx");
  t = "abc";
  EXPECT_FALSE(replaceAll(t, "", "z"));
  EXPECT_FALSE(replaceAll(t, "q", "z"));
  EXPECT_EQ(t, "abc");
}

TEST(TextReplace, ReplaceInPlace) {
  std::string t = "xaby";
  EXPECT_FALSE(replaceInPlace(t, "ab", "xyz", false));
  EXPECT_EQ(t, "xaby");
  t = "one\\ntwo\\t\\n";
  EXPECT_TRUE(replaceInPlace(t, "\\n", "\n", false));
  EXPECT_TRUE(replaceInPlace(t, "\\t", "\t", false));
  EXPECT_EQ(t, "one\ntwo\t\n");
  t = "AbxaBxab";
  EXPECT_TRUE(replaceInPlace(t, "ab", "", false));  // exact: only the last one
  EXPECT_EQ(t, "AbxaBx");
  t = "AbxaBxab";
  EXPECT_TRUE(replaceInPlace(t, "ab", "Z", true));
  EXPECT_EQ(t, "ZxZxZ");
  t = "a";
  EXPECT_FALSE(replaceInPlace(t, "abc", "", false));
  EXPECT_EQ(t, "a");
}
