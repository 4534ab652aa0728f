// MD5 message digest (RFC 1321).
#pragma once
#include <string>
#include <string_view>

// Writes the 16-byte digest of data into out.
void md5Digest(std::string_view data, unsigned char out[16]);

// The digest as 32 lower-case hexadecimal characters.
std::string md5Hex(std::string_view data);

// Writes the 32 lower-case hexadecimal characters of digest into out
// (no terminating zero).
void md5ToHex(const unsigned char digest[16], char out[32]);

