#include "support/base64.h"

#include <cstdint>

namespace orvel {

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int valueOf(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}
}  // namespace

std::string base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    uint32_t v = uint32_t(uint8_t(bytes[i])) << 16 | uint32_t(uint8_t(bytes[i + 1])) << 8 | uint8_t(bytes[i + 2]);
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  size_t rest = bytes.size() - i;
  if (rest) {
    uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
    if (rest == 2) v |= uint32_t(uint8_t(bytes[i + 1])) << 8;
    out += kAlphabet[v >> 18];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

bool base64Decode(std::string_view text, std::string& out) {
  out.clear();
  if (text.size() <= 3) return false;
  out.reserve(text.size() / 4 * 3);
  uint32_t acc = 0;
  int have = 0;     // sextets in acc
  int padding = 0;  // "=" seen
  size_t symbols = 0;
  for (unsigned char c : text) {
    if (c == '\r' || c == '\n' || c == '\t' || c == ' ') continue;
    if (c == '=') {
      // Padding completes a group of 2 or 3 symbols; nothing may follow it.
      if (have < 2) return false;
      padding++;
      if (have + padding > 4) return false;
      continue;
    }
    if (padding) return false;
    int v = valueOf(c);
    if (v < 0) return false;
    acc = acc << 6 | uint32_t(v);
    symbols++;
    if (++have == 4) {
      out += char(acc >> 16);
      out += char((acc >> 8) & 0xFF);
      out += char(acc & 0xFF);
      acc = 0;
      have = 0;
    }
  }
  if (symbols == 0) return false;
  if (padding && have + padding != 4) return false;
  if (have == 1) return false;
  if (have == 2) out += char(acc >> 4);
  if (have == 3) {
    out += char(acc >> 10);
    out += char((acc >> 2) & 0xFF);
  }
  return true;
}

}  // namespace orvel
