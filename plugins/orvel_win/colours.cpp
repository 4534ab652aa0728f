#include "colours.h"

#include <cctype>
#include <string>

namespace owin {

namespace {
struct Named {
  const char* name;
  Rgb value;
};
constexpr Named kNames[] = {
    {"black", 0x000000},     {"white", 0xFFFFFF},     {"grey", 0xC0C0C0},       {"gray", 0xC0C0C0},
    {"lightgrey", 0xD3D3D3}, {"lightgray", 0xD3D3D3}, {"darkgrey", 0x808080},   {"darkgray", 0x808080},
    {"red", 0xFF0000},       {"darkred", 0x800000},   {"yellow", 0xFFFF00},     {"darkyellow", 0x808000},
    {"brown", 0x8B4513},     {"orange", 0xFFA500},    {"magenta", 0xFF00FF},    {"darkmagenta", 0x800080},
    {"green", 0x00FF00},     {"darkgreen", 0x008000}, {"blue", 0x0000FF},       {"darkblue", 0x000080},
    {"cyan", 0x00FFFF},      {"darkcyan", 0x008080},
};

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

bool parseColour(std::string_view text, Rgb& out) {
  if (text.size() == 7 && text[0] == '#') {
    Rgb v = 0;
    for (size_t i = 1; i < 7; ++i) {
      int d = hexDigit(text[i]);
      if (d < 0) return false;
      v = (v << 4) | static_cast<Rgb>(d);
    }
    out = v;
    return true;
  }
  std::string lower;
  for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const Named& n : kNames)
    if (lower == n.name) {
      out = n.value;
      return true;
    }
  return false;
}

const char* colourNames() {
  return "black, white, grey, lightgrey, darkgrey, red, darkred, yellow, darkyellow, brown, orange, magenta, "
         "darkmagenta, green, darkgreen, blue, darkblue, cyan, darkcyan or #RRGGBB";
}

}  // namespace owin
