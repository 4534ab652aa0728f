// C-like backslash escapes turned into their characters.
#include "preproc/preprocessor.h"

namespace orvel {

std::string convert_escapes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  auto hex = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (size_t i = 0; i < text.size(); i++) {
    char c = text[i];
    if (c != '\\' || i + 1 >= text.size()) {
      out += c;
      continue;
    }
    char d = text[++i];
    switch (d) {
      case 'a': out += '\a'; continue;
      case 'b': out += '\b'; continue;
      case 'f': out += '\f'; continue;
      case 'n': out += '\n'; continue;
      case 'r': out += '\r'; continue;
      case 't': out += '\t'; continue;
      case 'v': out += '\v'; continue;
      case '\\': out += '\\'; continue;
      case '"': out += '"'; continue;
      default: break;
    }
    if (d == 'x' && i + 1 < text.size() && hex(text[i + 1]) >= 0) {
      int v = 0, n = 0;
      while (n < 2 && i + 1 < text.size() && hex(text[i + 1]) >= 0) {
        v = v * 16 + hex(text[++i]);
        n++;
      }
      out += static_cast<char>(v);
      continue;
    }
    if (d >= '0' && d <= '7') {
      int v = d - '0', n = 1;
      while (n < 3 && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7') {
        v = v * 8 + (text[++i] - '0');
        n++;
      }
      out += static_cast<char>(v & 0xFF);
      continue;
    }
    out += '\\';
    out += d;
  }
  return out;
}

}  // namespace orvel
