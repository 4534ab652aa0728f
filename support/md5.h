// MD5 message digest (RFC 1321).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Writes the 16-byte digest of data into out.
void md5Digest(std::string_view data, unsigned char out[16]);

// The digest as 32 lower-case hexadecimal characters.
std::string md5Hex(std::string_view data);

// Writes the 32 lower-case hexadecimal characters of digest into out
// (no terminating zero).
void md5ToHex(const unsigned char digest[16], char out[32]);

// Incremental form, for data that arrives in pieces.
class Md5 {
 public:
  Md5() { reset(); }
  void reset();
  void update(std::string_view data);
  void finish(unsigned char out[16]);

 private:
  uint32_t state_[4];
  uint64_t length_;       // bytes processed so far
  unsigned char block_[64];
  uint32_t fill_;         // bytes waiting in block_
};
