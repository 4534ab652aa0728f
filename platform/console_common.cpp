// Console pieces shared by both backends: the capture sink, attribute
// translation for terminals and terminal key decoding.
#include "platform/console_common.h"

#include "platform/console.h"

namespace plat {

namespace {
std::string* gCapture = nullptr;
}

void setCapture(std::string* sink) {
  if (sink && !gCapture) flushOut();  // keep earlier console output in order
  gCapture = sink;
}

std::string* capture() { return gCapture; }

namespace detail {

namespace {
// Console colour bits are blue, green, red; ANSI colour numbers are red,
// green, blue.
int ansiColour(int consoleColour) {
  return ((consoleColour & 1) << 2) | (consoleColour & 2) | ((consoleColour & 4) >> 2);
}
}  // namespace

std::string sgrForAttribute(int attr) {
  attr &= 0xFF;
  if (attr == 7) return "\x1b[0m";
  int fg = attr & 0x0F;
  int bg = (attr >> 4) & 0x0F;
  std::string s = "\x1b[0;";
  s += std::to_string((fg & 8 ? 90 : 30) + ansiColour(fg));
  s += ';';
  s += std::to_string((bg & 8 ? 100 : 40) + ansiColour(bg));
  s += 'm';
  return s;
}

std::string sanitizeTitle(std::string_view title) {
  std::string out;
  out.reserve(title.size());
  for (char ch : title) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) continue;
    out += ch;
  }
  return out;
}

bool decodeEscapeSequence(std::string_view seq, std::deque<int>& out) {
  auto special = [&out](int scan) {
    out.push_back(kSpecialKeyPrefix);
    out.push_back(scan);
    return true;
  };
  if (seq.size() == 2 && (seq[0] == '[' || seq[0] == 'O')) {
    switch (seq[1]) {
      case 'A': return special(72);
      case 'B': return special(80);
      case 'C': return special(77);
      case 'D': return special(75);
      case 'H': return special(71);
      case 'F': return special(79);
      default: break;
    }
    if (seq[1] >= 'P' && seq[1] <= 'S') return special(59 + (seq[1] - 'P'));
    return false;
  }
  // With modifiers: ESC [ 1 ; 5 A (Ctrl+Up) and the like; modifiers are
  // not reported.
  if (seq.size() >= 4 && seq[0] == '[' && seq.back() != '~') {
    std::string_view params = seq.substr(1, seq.size() - 2);
    if (params.find_first_not_of("0123456789;") == std::string_view::npos) {
      char plain[2] = {'[', seq.back()};
      return decodeEscapeSequence(std::string_view(plain, 2), out);
    }
    return false;
  }
  // Linux console F1..F5: ESC [ [ A .. ESC [ [ E
  if (seq.size() == 3 && seq[0] == '[' && seq[1] == '[' && seq[2] >= 'A' && seq[2] <= 'E')
    return special(59 + (seq[2] - 'A'));
  // ESC [ n ~ and ESC [ n ; modifiers ~
  if (seq.size() >= 3 && seq[0] == '[' && seq.back() == '~') {
    int n = 0;
    size_t i = 1;
    for (; i < seq.size() && seq[i] >= '0' && seq[i] <= '9'; ++i) {
      n = n * 10 + (seq[i] - '0');
      if (n > 1000) return false;
    }
    if (i == 1) return false;
    if (i + 1 != seq.size() && seq[i] != ';') return false;
    switch (n) {
      case 1: case 7: return special(71);
      case 4: case 8: return special(79);
      case 2: return special(82);
      case 3: return special(83);
      case 5: return special(73);
      case 6: return special(81);
      case 11: return special(59);
      case 12: return special(60);
      case 13: return special(61);
      case 14: return special(62);
      case 15: return special(63);
      case 17: return special(64);
      case 18: return special(65);
      case 19: return special(66);
      case 20: return special(67);
      case 21: return special(68);
      case 23: return special(133);
      case 24: return special(134);
      default: return false;
    }
  }
  return false;
}

int consoleCodeForByte(unsigned char c) {
  if (c == 0x7F) return 8;
  if (c == '\n') return 13;
  return c;
}

void advanceCursor(std::string_view text, int cols, int rows, int& x, int& y) {
  for (char ch : text) {
    switch (ch) {
      case '\r': x = 1; break;
      case '\n': ++y; break;
      case '\b': if (x > 1) --x; break;
      case '\t': x = ((x - 1) / 8 + 1) * 8 + 1; break;
      case '\a': break;
      default:
        // Bytes of escape sequences and UTF-8 continuation bytes are counted
        // as well; the position is approximate by design.
        if (static_cast<unsigned char>(ch) >= 0x80 && (static_cast<unsigned char>(ch) & 0xC0) == 0x80) break;
        ++x;
        break;
    }
    if (cols > 0 && x > cols) {
      x = 1;
      ++y;
    }
    if (rows > 0 && y > rows) y = rows;
  }
}

}  // namespace detail
}  // namespace plat
