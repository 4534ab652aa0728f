#include <gtest/gtest.h>

#include <string>

#include "support/keylist.h"

TEST(KeyList, KeepsInsertionOrderAndUpdatesInPlace) {
  KeyList k;
  k.setText("zeta", "1");
  k.setText("alpha", "2");
  k.setInt("mid", 7);
  EXPECT_NE(k.setText("zeta", "3"), nullptr);
  ASSERT_EQ(k.count(), 3);
  EXPECT_EQ(*k.keyAt(0), "zeta");
  EXPECT_EQ(*k.keyAt(1), "alpha");
  EXPECT_EQ(*k.keyAt(2), "mid");
  EXPECT_EQ(*k.getText("zeta"), "3");
  EXPECT_EQ(k.getInt("mid"), 7);
  EXPECT_EQ(k.getInt("zeta"), 0);      // holds text
  EXPECT_EQ(k.getText("mid"), nullptr);  // holds an integer
  EXPECT_EQ(k.getInt("absent"), 0);
  EXPECT_EQ(k.addKey("alpha"), k.nodeAt(1));
  EXPECT_EQ(k.nodeAt(3), nullptr);
}

TEST(KeyList, IgnoreCaseAndPrefixLookups) {
  KeyList k;
  k.setText("abc", "v");
  EXPECT_EQ(k.find("Abc"), nullptr);
  EXPECT_EQ(k.getText("ABC"), nullptr);
  k.setIgnoreCase(true);
  EXPECT_EQ(*k.getText("ABC"), "v");
  k.setText("ABC", "w");  // the same node
  EXPECT_EQ(k.count(), 1);
  EXPECT_EQ(*k.keyAt(0), "abc");
  EXPECT_EQ(*k.getText("abc"), "w");

  k.setIgnoreCase(false);
  k.setText("define", "1");
  EXPECT_EQ(k.find("defxx", 3), k.nodeAt(1));  // first 3 characters only
  EXPECT_EQ(k.find("de", 5), k.nodeAt(1));     // fewer when the key is shorter
  EXPECT_EQ(k.find("dex", 3), nullptr);
  EXPECT_EQ(k.find("de"), nullptr);
  EXPECT_EQ(k.find("", 3), nullptr);
  EXPECT_EQ(k.remove("", 3), 0);
  k.clear();
  EXPECT_FALSE(k.ignoreCase());
  EXPECT_EQ(k.count(), 0);
}

TEST(KeyList, EmptyKeysAndValues) {
  KeyList k;
  EXPECT_EQ(k.addKey(""), nullptr);
  EXPECT_EQ(k.setText("", "x"), nullptr);
  EXPECT_EQ(k.count(), 0);
  k.setText("m", "old");
  EXPECT_EQ(k.setText("m", ""), nullptr);
  EXPECT_EQ(k.count(), 1);
  EXPECT_EQ(k.getText("m"), nullptr);  // no value any more
  EXPECT_NE(k.find("m"), nullptr);
}

TEST(KeyList, RemoveKeepsEndsAndPositionalAccessSkipsOthers) {
  KeyList k;
  int p = 0;
  k.setText("a", "1");
  k.addPointerKey(&p);
  k.addKey("b");  // no value
  k.setText("c", "3");
  EXPECT_EQ(k.addPointerKey(&p), k.nodeAt(1));
  EXPECT_EQ(k.count(), 4);
  EXPECT_EQ(*k.keyAt(1), "b");  // the pointer key is not a text key
  EXPECT_EQ(*k.textValueAt(1), "3");
  EXPECT_EQ(k.textValueAt(2), nullptr);

  EXPECT_EQ(k.remove("a"), 1);
  EXPECT_EQ(k.remove("a"), 0);
  EXPECT_EQ(k.remove("c"), 1);
  EXPECT_EQ(k.count(), 2);
  k.setText("d", "4");  // appended after the remaining nodes
  EXPECT_EQ(*k.keyAt(1), "d");
  EXPECT_EQ(k.remove("bxx", 1), 1);
  EXPECT_EQ(*k.keyAt(0), "d");
  k.releaseAll();
  EXPECT_TRUE(k.released());
  EXPECT_EQ(k.count(), 0);
  EXPECT_EQ(k.keyAt(0), nullptr);
}
