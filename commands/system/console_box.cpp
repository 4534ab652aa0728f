// box: frames of line characters on the console.
//   box left top width height ?options?   draws a frame with its top-left
//                                         corner at column left, row top
//                                         (1-based, as gotoxy); result empty
//   box text ?options?                    the text's lines framed, as text
// Options: -double (double lines), -ascii (+ - | only), -title text (set
// into the top edge), -attr n (colour attribute while drawing, as
// textcolor's byte), -fill (blank the inside while drawing), -padding n
// (blanks either side of the text, default 1).
// Single and double lines use the console's character set: UTF-8 line
// characters where the console reads UTF-8, the OEM code page's bytes
// elsewhere.
#include <algorithm>

#include "commands/core/binary_engine.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "platform/console.h"
#include "platform/console_charset.h"

namespace orvel {

namespace {

struct LineSet {
  const char* h;
  const char* v;
  const char* tl;
  const char* tr;
  const char* bl;
  const char* br;
};

const LineSet kAscii{"-", "|", "+", "+", "+", "+"};
const LineSet kSingleUtf8{"\u2500", "\u2502", "\u250C", "\u2510", "\u2514", "\u2518"};
const LineSet kDoubleUtf8{"\u2550", "\u2551", "\u2554", "\u2557", "\u255A", "\u255D"};
const LineSet kSingleOem{"\xC4", "\xB3", "\xDA", "\xBF", "\xC0", "\xD9"};
const LineSet kDoubleOem{"\xCD", "\xBA", "\xC9", "\xBB", "\xC8", "\xBC"};

constexpr int64_t kMaxSide = 1000;

// Characters the console shows for text (UTF-8 continuation bytes are not
// counted where the console reads UTF-8).
int64_t shownWidth(std::string_view s, bool utf8) {
  int64_t n = 0;
  for (char c : s)
    if (!utf8 || (static_cast<unsigned char>(c) & 0xC0) != 0x80) n++;
  return n;
}

// The first `width` shown characters of s.
std::string_view shownPrefix(std::string_view s, int64_t width, bool utf8) {
  int64_t n = 0;
  for (size_t i = 0; i < s.size(); i++) {
    if (!utf8 || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (n == width) return s.substr(0, i);
      n++;
    }
  }
  return s;
}

std::string repeat(const char* piece, int64_t n) {
  std::string out;
  for (int64_t i = 0; i < n; i++) out += piece;
  return out;
}

// The top edge of inner width `inner`, with the title set into it.
std::string topEdge(const LineSet& ls, int64_t inner, const std::string& title, bool utf8) {
  std::string out = ls.tl;
  if (!title.empty() && inner >= 4) {
    std::string_view t = shownPrefix(title, inner - 3, utf8);
    out += ls.h;
    out += ' ';
    out += t;
    out += ' ';
    out += repeat(ls.h, inner - 3 - shownWidth(t, utf8));
  } else {
    out += repeat(ls.h, inner);
  }
  out += ls.tr;
  return out;
}

int orvelCommandBox(Interp& in, Args& argv, void*) {
  bool dbl = false, ascii = false, fill = false;
  int attr = -1;
  int64_t padding = 1;
  std::string title;
  std::vector<const std::string*> pos;
  const char* cmd = argv[0].c_str();
  in.result.clear();
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& w = argv[i];
    auto value = [&](int64_t& out) { return i + 1 < argv.size() && binary::strictInteger(argv[++i], out); };
    int64_t n;
    if (w == "-double")
      dbl = true;
    else if (w == "-ascii")
      ascii = true;
    else if (w == "-fill")
      fill = true;
    else if (w == "-title") {
      if (i + 1 >= argv.size()) return fail(in, "%s: -title needs a text", cmd);
      title = argv[++i];
    } else if (w == "-attr") {
      if (!value(n) || n < 0 || n > 255) return fail(in, "%s: -attr needs a colour attribute from 0 to 255", cmd);
      attr = static_cast<int>(n);
    } else if (w == "-padding") {
      if (!value(n) || n < 0 || n > 100) return fail(in, "%s: -padding needs a number from 0 to 100", cmd);
      padding = n;
    } else if (w.size() > 1 && w[0] == '-' && !(w[1] >= '0' && w[1] <= '9')) {
      return fail(in, "%s: Unknown option '%s'", cmd, w.c_str());
    } else {
      pos.push_back(&w);
    }
  }
  if (pos.size() != 1 && pos.size() != 4) return wrongNumArgs(in, argv);
  const bool utf8 = plat::consoleTextIsUtf8();
  const LineSet& ls = ascii ? kAscii : dbl ? (utf8 ? kDoubleUtf8 : kDoubleOem) : (utf8 ? kSingleUtf8 : kSingleOem);

  if (pos.size() == 1) {
    // The text's lines framed, each padded to the longest.
    std::vector<std::string> lines;
    std::string_view text = *pos[0];
    for (;;) {
      size_t lf = text.find('\n');
      std::string line(text.substr(0, lf));
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(std::move(line));
      if (lf == std::string_view::npos) break;
      text.remove_prefix(lf + 1);
    }
    int64_t widest = 0;
    for (const std::string& l : lines) widest = std::max(widest, shownWidth(l, utf8));
    if (!title.empty()) widest = std::max(widest, shownWidth(title, utf8) + 3 - 2 * padding);
    const int64_t inner = widest + 2 * padding;
    std::string out = topEdge(ls, inner, title, utf8) + "\n";
    for (const std::string& l : lines) {
      out += ls.v;
      out += std::string(static_cast<size_t>(padding), ' ');
      out += l;
      out += std::string(static_cast<size_t>(widest - shownWidth(l, utf8) + padding), ' ');
      out += ls.v;
      out += "\n";
    }
    out += ls.bl + repeat(ls.h, inner) + ls.br;
    in.result = std::move(out);
    return OK;
  }

  int64_t left, top, width, height;
  if (!binary::strictInteger(*pos[0], left) || !binary::strictInteger(*pos[1], top) ||
      !binary::strictInteger(*pos[2], width) || !binary::strictInteger(*pos[3], height))
    return fail(in, "%s: Position and size must be numbers", cmd);
  if (left < 1 || top < 1 || left > 10000 || top > 10000)
    return fail(in, "%s: Position %s,%s is outside the console", cmd, pos[0]->c_str(), pos[1]->c_str());
  if (width < 2 || height < 2 || width > kMaxSide || height > kMaxSide)
    return fail(in, "%s: Size %sx%s must be from 2 to %li each way", cmd, pos[2]->c_str(), pos[3]->c_str(),
                static_cast<long>(kMaxSide));
  const int oldAttr = plat::getAttribute();
  if (attr >= 0) plat::setAttribute(attr);
  const int x = static_cast<int>(left), y = static_cast<int>(top);
  const int64_t inner = width - 2;
  plat::setCursor(x, y);
  plat::writeOut(topEdge(ls, inner, title, utf8));
  const std::string middle = std::string(ls.v) + std::string(static_cast<size_t>(inner), ' ') + ls.v;
  for (int64_t r = 1; r < height - 1; r++) {
    if (fill) {
      plat::setCursor(x, y + static_cast<int>(r));
      plat::writeOut(middle);
    } else {
      plat::setCursor(x, y + static_cast<int>(r));
      plat::writeOut(ls.v);
      plat::setCursor(x + static_cast<int>(width) - 1, y + static_cast<int>(r));
      plat::writeOut(ls.v);
    }
  }
  plat::setCursor(x, y + static_cast<int>(height) - 1);
  plat::writeOut(ls.bl + repeat(ls.h, inner) + ls.br);
  if (attr >= 0) plat::setAttribute(oldAttr);
  plat::flushOut();
  return OK;
}

const CommandRegistrar reg[] = {{"box", orvelCommandBox}};

}  // namespace

}  // namespace orvel
