#include <gtest/gtest.h>

#include <string>

#include "support/stack.h"

TEST(Stack, CapacityRules) {
  Stack s(0, true);
  EXPECT_EQ(s.capacity(), 100);
  EXPECT_TRUE(s.defaultSize());
  EXPECT_TRUE(s.isValid());
  Stack n(-3, false);
  EXPECT_EQ(n.capacity(), 100);
  Stack k(1000, true);
  EXPECT_FALSE(k.defaultSize());
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(k.pushstr(std::to_string(i)), i);
  EXPECT_EQ(k.pushstr("one more"), -1);
  EXPECT_EQ(k.count(), 1000);
  EXPECT_TRUE(k.lastMessage.empty());  // not verbose
  EXPECT_EQ(*k.peekstr(), "999");
}

TEST(Stack, OwningStackRefusesWrongPushes) {
  Stack s(5, true);
  EXPECT_EQ(s.pushstr(""), -1);
  int x = 0;
  EXPECT_EQ(s.push(&x), -2);
  EXPECT_TRUE(s.isEmpty());
  Stack p(5, false);
  EXPECT_EQ(p.pushstr("text"), -1);
  EXPECT_EQ(p.popstr(), std::nullopt);
}

TEST(Stack, VerboseOverflowMessage) {
  Stack s(1, true, true);
  EXPECT_EQ(s.pushstr("a"), 0);
  EXPECT_EQ(s.pushstr("100%s"), -1);
  EXPECT_EQ(s.lastMessage, "Stack(stack)::pushstr(100%s) Overflow at 1 (1)\n");
}

TEST(Stack, TextsPopInReverseOrder) {
  Stack s(3, true);
  s.pushstr("a");
  s.pushstr("b");
  s.pushstr("c");
  EXPECT_EQ(*s.itemstr(0), "a");
  EXPECT_EQ(s.itemstr(3), nullptr);
  EXPECT_EQ(s.itemstr(-1), nullptr);
  EXPECT_EQ(s.popstr(), "c");
  EXPECT_EQ(s.itemstr(2), nullptr);
  const std::string* kept = s.popstrKeep();
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(*kept, "b");
  EXPECT_EQ(s.count(), 1);
  EXPECT_EQ(s.pushstr("B"), 1);  // the kept slot is reused
  EXPECT_EQ(s.popstr(), "B");
  EXPECT_EQ(s.popstr(), "a");
  EXPECT_EQ(s.popstr(), std::nullopt);
  EXPECT_EQ(s.peekstr(), nullptr);
}

TEST(Stack, PointersPopInReverseOrder) {
  int a = 1, b = 2;
  Stack s(2, false);
  EXPECT_EQ(s.push(&a), 0);
  EXPECT_EQ(s.push(&b), 1);
  EXPECT_EQ(s.push(&a), -1);
  EXPECT_EQ(s.peek(), &b);
  EXPECT_EQ(s.item(0), &a);
  EXPECT_EQ(s.pop(), &b);
  EXPECT_EQ(s.popKeep(), &a);
  EXPECT_EQ(s.pop(), nullptr);
  EXPECT_TRUE(s.isEmpty());
}
