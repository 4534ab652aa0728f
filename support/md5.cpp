// MD5 message digest (RFC 1321).
#include "support/md5.h"

#include <cstdint>
#include <cstring>

namespace {

inline uint32_t rotl(uint32_t x, int c) { return (x << c) | (x >> (32 - c)); }

inline uint32_t load32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

inline void store32(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define MD5_STEP(f, a, b, c, d, x, t, s) \
  (a) += f((b), (c), (d)) + (x) + (t);   \
  (a) = rotl((a), (s)) + (b)

// Processes one 64-byte block.
void transform(uint32_t st[4], const unsigned char* blk) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = load32(blk + 4 * i);
  uint32_t a = st[0], b = st[1], c = st[2], d = st[3];

  MD5_STEP(MD5_F, a, b, c, d, x[0], 0xd76aa478u, 7);
  MD5_STEP(MD5_F, d, a, b, c, x[1], 0xe8c7b756u, 12);
  MD5_STEP(MD5_F, c, d, a, b, x[2], 0x242070dbu, 17);
  MD5_STEP(MD5_F, b, c, d, a, x[3], 0xc1bdceeeu, 22);
  MD5_STEP(MD5_F, a, b, c, d, x[4], 0xf57c0fafu, 7);
  MD5_STEP(MD5_F, d, a, b, c, x[5], 0x4787c62au, 12);
  MD5_STEP(MD5_F, c, d, a, b, x[6], 0xa8304613u, 17);
  MD5_STEP(MD5_F, b, c, d, a, x[7], 0xfd469501u, 22);
  MD5_STEP(MD5_F, a, b, c, d, x[8], 0x698098d8u, 7);
  MD5_STEP(MD5_F, d, a, b, c, x[9], 0x8b44f7afu, 12);
  MD5_STEP(MD5_F, c, d, a, b, x[10], 0xffff5bb1u, 17);
  MD5_STEP(MD5_F, b, c, d, a, x[11], 0x895cd7beu, 22);
  MD5_STEP(MD5_F, a, b, c, d, x[12], 0x6b901122u, 7);
  MD5_STEP(MD5_F, d, a, b, c, x[13], 0xfd987193u, 12);
  MD5_STEP(MD5_F, c, d, a, b, x[14], 0xa679438eu, 17);
  MD5_STEP(MD5_F, b, c, d, a, x[15], 0x49b40821u, 22);

  MD5_STEP(MD5_G, a, b, c, d, x[1], 0xf61e2562u, 5);
  MD5_STEP(MD5_G, d, a, b, c, x[6], 0xc040b340u, 9);
  MD5_STEP(MD5_G, c, d, a, b, x[11], 0x265e5a51u, 14);
  MD5_STEP(MD5_G, b, c, d, a, x[0], 0xe9b6c7aau, 20);
  MD5_STEP(MD5_G, a, b, c, d, x[5], 0xd62f105du, 5);
  MD5_STEP(MD5_G, d, a, b, c, x[10], 0x02441453u, 9);
  MD5_STEP(MD5_G, c, d, a, b, x[15], 0xd8a1e681u, 14);
  MD5_STEP(MD5_G, b, c, d, a, x[4], 0xe7d3fbc8u, 20);
  MD5_STEP(MD5_G, a, b, c, d, x[9], 0x21e1cde6u, 5);
  MD5_STEP(MD5_G, d, a, b, c, x[14], 0xc33707d6u, 9);
  MD5_STEP(MD5_G, c, d, a, b, x[3], 0xf4d50d87u, 14);
  MD5_STEP(MD5_G, b, c, d, a, x[8], 0x455a14edu, 20);
  MD5_STEP(MD5_G, a, b, c, d, x[13], 0xa9e3e905u, 5);
  MD5_STEP(MD5_G, d, a, b, c, x[2], 0xfcefa3f8u, 9);
  MD5_STEP(MD5_G, c, d, a, b, x[7], 0x676f02d9u, 14);
  MD5_STEP(MD5_G, b, c, d, a, x[12], 0x8d2a4c8au, 20);

  MD5_STEP(MD5_H, a, b, c, d, x[5], 0xfffa3942u, 4);
  MD5_STEP(MD5_H, d, a, b, c, x[8], 0x8771f681u, 11);
  MD5_STEP(MD5_H, c, d, a, b, x[11], 0x6d9d6122u, 16);
  MD5_STEP(MD5_H, b, c, d, a, x[14], 0xfde5380cu, 23);
  MD5_STEP(MD5_H, a, b, c, d, x[1], 0xa4beea44u, 4);
  MD5_STEP(MD5_H, d, a, b, c, x[4], 0x4bdecfa9u, 11);
  MD5_STEP(MD5_H, c, d, a, b, x[7], 0xf6bb4b60u, 16);
  MD5_STEP(MD5_H, b, c, d, a, x[10], 0xbebfbc70u, 23);
  MD5_STEP(MD5_H, a, b, c, d, x[13], 0x289b7ec6u, 4);
  MD5_STEP(MD5_H, d, a, b, c, x[0], 0xeaa127fau, 11);
  MD5_STEP(MD5_H, c, d, a, b, x[3], 0xd4ef3085u, 16);
  MD5_STEP(MD5_H, b, c, d, a, x[6], 0x04881d05u, 23);
  MD5_STEP(MD5_H, a, b, c, d, x[9], 0xd9d4d039u, 4);
  MD5_STEP(MD5_H, d, a, b, c, x[12], 0xe6db99e5u, 11);
  MD5_STEP(MD5_H, c, d, a, b, x[15], 0x1fa27cf8u, 16);
  MD5_STEP(MD5_H, b, c, d, a, x[2], 0xc4ac5665u, 23);

  MD5_STEP(MD5_I, a, b, c, d, x[0], 0xf4292244u, 6);
  MD5_STEP(MD5_I, d, a, b, c, x[7], 0x432aff97u, 10);
  MD5_STEP(MD5_I, c, d, a, b, x[14], 0xab9423a7u, 15);
  MD5_STEP(MD5_I, b, c, d, a, x[5], 0xfc93a039u, 21);
  MD5_STEP(MD5_I, a, b, c, d, x[12], 0x655b59c3u, 6);
  MD5_STEP(MD5_I, d, a, b, c, x[3], 0x8f0ccc92u, 10);
  MD5_STEP(MD5_I, c, d, a, b, x[10], 0xffeff47du, 15);
  MD5_STEP(MD5_I, b, c, d, a, x[1], 0x85845dd1u, 21);
  MD5_STEP(MD5_I, a, b, c, d, x[8], 0x6fa87e4fu, 6);
  MD5_STEP(MD5_I, d, a, b, c, x[15], 0xfe2ce6e0u, 10);
  MD5_STEP(MD5_I, c, d, a, b, x[6], 0xa3014314u, 15);
  MD5_STEP(MD5_I, b, c, d, a, x[13], 0x4e0811a1u, 21);
  MD5_STEP(MD5_I, a, b, c, d, x[4], 0xf7537e82u, 6);
  MD5_STEP(MD5_I, d, a, b, c, x[11], 0xbd3af235u, 10);
  MD5_STEP(MD5_I, c, d, a, b, x[2], 0x2ad7d2bbu, 15);
  MD5_STEP(MD5_I, b, c, d, a, x[9], 0xeb86d391u, 21);

  st[0] += a;
  st[1] += b;
  st[2] += c;
  st[3] += d;
}

#undef MD5_STEP
#undef MD5_F
#undef MD5_G
#undef MD5_H
#undef MD5_I

const char kHexDigits[] = "0123456789abcdef";

}  // namespace

void md5Digest(std::string_view data, unsigned char out[16]) {
  // Whole blocks are read straight from the caller's text; only the tail
  // (under 64 bytes plus padding) is copied.
  uint32_t st[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
  const unsigned char* p = reinterpret_cast<const unsigned char*>(data.data());
  size_t n = data.size();
  const uint64_t bits = static_cast<uint64_t>(n) * 8;
  while (n >= 64) {
    transform(st, p);
    p += 64;
    n -= 64;
  }
  unsigned char tail[128];
  if (n > 0) std::memcpy(tail, p, n);
  tail[n] = 0x80;
  const size_t total = (n < 56) ? 64 : 128;
  std::memset(tail + n + 1, 0, total - n - 1);
  for (int i = 0; i < 8; ++i) tail[total - 8 + i] = static_cast<unsigned char>(bits >> (8 * i));
  transform(st, tail);
  if (total == 128) transform(st, tail + 64);
  for (int i = 0; i < 4; ++i) store32(out + 4 * i, st[i]);
}

void md5ToHex(const unsigned char digest[16], char out[32]) {
  for (int i = 0; i < 16; ++i) {
    out[2 * i] = kHexDigits[digest[i] >> 4];
    out[2 * i + 1] = kHexDigits[digest[i] & 15];
  }
}

std::string md5Hex(std::string_view data) {
  unsigned char d[16];
  md5Digest(data, d);
  std::string s(32, '\0');
  md5ToHex(d, s.data());
  return s;
}
