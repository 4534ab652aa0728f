#include <gtest/gtest.h>

#include <string>

#include "support/md5.h"

TEST(Md5, ReferenceVectors) {
  EXPECT_EQ(md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  EXPECT_EQ(md5Hex("1234567890123456789012345678901234567890"
                   "1234567890123456789012345678901234567890"),
            "57edf4a22be3c955ac49da2e2107b67a");
}

// Lengths around the padding boundaries (55/56 bytes fit one or two final
// blocks), binary bytes, and a long input.
TEST(Md5, PaddingBoundariesAndBinaryData) {
  EXPECT_EQ(md5Hex(std::string(55, 'a')), "ef1772b6dff9a122358552954ad0df65");
  EXPECT_EQ(md5Hex(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
  EXPECT_EQ(md5Hex(std::string(63, 'a')), "b06521f39153d618550606be297466d5");
  EXPECT_EQ(md5Hex(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
  EXPECT_EQ(md5Hex(std::string(65, 'a')), "c743a45e0d2e6a95cb859adae0248435");
  EXPECT_EQ(md5Hex(std::string(119, 'a')), "8a7bd0732ed6a28ce75f6dabc90e1613");
  EXPECT_EQ(md5Hex(std::string(120, 'a')), "5f61c0ccad4cac44c75ff505e1f1e537");
  EXPECT_EQ(md5Hex(std::string("\x00\xff\x80" "abc", 6)), "abc7c3a20e263624b96072acad40b244");
  EXPECT_EQ(md5Hex(std::string(1000000, 'a')), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Md5, RawDigest) {
  unsigned char d[16];
  md5Digest("abc", d);
  char hex[32];
  md5ToHex(d, hex);
  EXPECT_EQ(std::string(hex, 32), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(d[0], 0x90);
  EXPECT_EQ(d[15], 0x72);
}
