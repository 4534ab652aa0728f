#include <gtest/gtest.h>

#include <string>

#include "support/buffer.h"

TEST(Buffer, FlushesOncePerFullChunkAndOnTake) {
  Buffer b(4);
  b.addstr("abcdefghij");
  EXPECT_EQ(b.flushCount(), 2);  // after the 4th and 8th characters
  EXPECT_EQ(b.length(), 10u);
  EXPECT_EQ(b.take(), "abcdefghij");
  EXPECT_EQ(b.flushCount(), 3);
  EXPECT_EQ(b.appendCount(), 1);
  EXPECT_EQ(b.length(), 0u);
}

TEST(Buffer, MixedAppendsAndStartingOver) {
  Buffer b(3);
  b.addch('x');
  b.addstr("");
  b.addstr("yz");  // fills the chunk exactly
  EXPECT_EQ(b.flushCount(), 1);
  b.addch('1');
  b.addstr(std::string("2\0" "3", 3));  // embedded zero is kept
  EXPECT_EQ(b.appendCount(), 5);
  EXPECT_EQ(b.take(), std::string("xyz12\0" "3", 7));
  EXPECT_EQ(b.take(), "");  // nothing left after a take
  b.addstr("again");
  EXPECT_EQ(b.take(), "again");
}

TEST(Buffer, NonPositiveChunkUsesDefault) {
  Buffer zero(0), negative(-5);
  EXPECT_EQ(zero.chunkSize(), Buffer::kDefaultChunk);
  EXPECT_EQ(negative.chunkSize(), Buffer::kDefaultChunk);
  std::string big(20000, 'q');
  zero.addstr(big);
  EXPECT_EQ(zero.flushCount(), 2);
  EXPECT_EQ(zero.take(), big);
}
