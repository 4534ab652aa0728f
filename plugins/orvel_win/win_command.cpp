// The `win` command: every subcommand reads its words here and draws
// through the window's canvas.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "colours.h"
#include "commands.h"
#include "host.h"
#include "window.h"

namespace owin {

namespace {

constexpr double kMaxCoord = 1.0e9;   // coordinates beyond this are refused
constexpr double kMaxPen = 1000;      // widest pen
constexpr double kMaxPoints = 500;    // largest text size

bool isOption(std::string_view w) { return w.size() > 1 && w[0] == '-' && std::isalpha(static_cast<unsigned char>(w[1])); }

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool parseNumber(std::string_view text, double& out) {
  std::string s(text);
  const char* b = s.c_str();
  while (*b == ' ' || *b == '\t') ++b;
  if (!*b) return false;
  char* end = nullptr;
  double v = std::strtod(b, &end);
  if (end == b) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end || !std::isfinite(v)) return false;
  out = v;
  return true;
}

// The words of one subcommand call: positional words and options.
class Call {
 public:
  Call(void* interp, int argc, char** argv) : interp_(interp) {
    sub_ = argc > 1 ? lower(argv[1]) : "";
    for (int i = 2; i < argc; ++i) words_.emplace_back(argv[i] ? argv[i] : "");
  }
  void* interp() const { return interp_; }
  const std::string& sub() const { return sub_; }
  std::vector<std::string_view>& words() { return words_; }

  // Removes a flag option wherever it stands.
  bool flag(std::string_view name) {
    auto it = std::find(words_.begin(), words_.end(), name);
    if (it == words_.end()) return false;
    words_.erase(it);
    return true;
  }
  // Removes an option and its value; false with a message set when the
  // value is missing.
  bool valued(std::string_view name, std::string_view& value, bool& present) {
    present = false;
    for (size_t i = 0; i < words_.size(); ++i) {
      if (words_[i] != name) continue;
      if (i + 1 >= words_.size()) {
        error_ = "win " + sub_ + ": option " + std::string(name) + " needs a value";
        return false;
      }
      value = words_[i + 1];
      present = true;
      words_.erase(words_.begin() + static_cast<long>(i), words_.begin() + static_cast<long>(i) + 2);
      return true;
    }
    return true;
  }
  // After the known options were taken: any word left that looks like an
  // option is unknown.
  bool noOtherOptions() {
    for (std::string_view w : words_)
      if (isOption(w)) {
        error_ = "win " + sub_ + ": unknown option \"" + std::string(w) + "\"";
        return false;
      }
    return true;
  }
  bool number(std::string_view what, std::string_view text, double& out, double lo = -kMaxCoord, double hi = kMaxCoord) {
    if (!parseNumber(text, out)) {
      error_ = "win " + sub_ + ": " + std::string(what) + " \"" + std::string(text) + "\" is not a number";
      return false;
    }
    if (out < lo || out > hi) {
      char buf[160];
      std::snprintf(buf, sizeof buf, "win %s: %.*s %.*s is out of range (%g to %g)", sub_.c_str(),
                    static_cast<int>(what.size()), what.data(), static_cast<int>(std::min<size_t>(text.size(), 40)),
                    text.data(), lo, hi);
      error_ = buf;
      return false;
    }
    return true;
  }
  bool integer(std::string_view what, std::string_view text, int& out, double lo = -kMaxCoord, double hi = kMaxCoord) {
    double v = 0;
    if (!number(what, text, v, lo, hi)) return false;
    out = static_cast<int>(std::lround(v));
    return true;
  }
  bool colour(std::string_view text, Rgb& out) {
    if (parseColour(text, out)) return true;
    error_ = "win " + sub_ + ": unknown colour \"" + std::string(text) + "\" (use " + colourNames() + ")";
    return false;
  }
  // Checks the count of positional words.
  bool count(size_t lo, size_t hi, std::string_view usage) {
    if (words_.size() >= lo && words_.size() <= hi) return true;
    error_ = "win " + sub_ + ": wrong # args: should be \"win " + sub_ + (usage.empty() ? "" : " ") + std::string(usage) + "\"";
    return false;
  }
  int failed() { return fail(interp_, error_); }
  int failed(const std::string& message) { return fail(interp_, "win " + sub_ + ": " + message); }
  int ok(std::string_view result = "") {
    setResult(interp_, result);
    return ORVEL_OK;
  }

 private:
  void* interp_;
  std::string sub_;
  std::vector<std::string_view> words_;
  std::string error_;
};

Window& W() { return theWindow(); }

int needWindow(Call& c) {
  return c.failed("no window (use win create first)");
}

int cmdCreate(Call& c) {
  CreateOptions o;
  o.fullscreen = c.flag("-fullscreen");
  o.smallFont = c.flag("-smallfont");
  o.headless = c.flag("-headless");
  std::string_view v;
  bool has = false;
  if (!c.valued("-w", v, has)) return c.failed();
  if (has && !c.integer("width", v, o.width, 1, 16384)) return c.failed();
  if (!c.valued("-h", v, has)) return c.failed();
  if (has && !c.integer("height", v, o.height, 1, 16384)) return c.failed();
  if (!c.valued("-title", v, has)) return c.failed();
  if (has) o.title = std::string(v);
  if (!c.noOtherOptions() || !c.count(0, 0, "?-fullscreen? ?-smallfont? ?-w width? ?-h height? ?-headless? ?-title text?"))
    return c.failed();
  if (const char* env = std::getenv("ORVEL_WIN_HEADLESS"); env && *env && std::string_view(env) != "0") o.headless = true;
  if (W().open()) return c.failed("a window is open already (win close first)");
  std::string why;
  if (!W().create(o, why)) {
    // The script tests for 0; the reason is told once.
    static bool told = false;
    if (!told) {
      told = true;
      std::fprintf(stderr, "win create: %s\n", why.c_str());
      std::fflush(stderr);
    }
    return c.ok("0");
  }
  return c.ok(std::to_string(W().handle()));
}

int cmdPreview(Call& c) {
  if (!c.noOtherOptions() || !c.count(1, 1, "handle")) return c.failed();
  double h = 0;
  if (!c.number("handle", c.words()[0], h, 1, 9.0e18)) return c.failed();
  if (!windowsCanPreview()) return c.failed("preview windows are a Windows screensaver feature; not available here");
  if (W().open()) return c.failed("a window is open already (win close first)");
  CreateOptions o;
  o.parent = static_cast<int64_t>(h);
  std::string why;
  if (!W().create(o, why)) return c.failed(why);
  return c.ok(std::to_string(W().handle()));
}

int cmdTextcolor(Call& c) {
  if (!c.noOtherOptions() || !c.count(0, 2, "?foreground? ?background?")) return c.failed();
  auto& w = c.words();
  if (w.empty()) {
    W().fg = Window::kDefaultFg, W().bg = Window::kDefaultBg;
    return c.ok();
  }
  Rgb f = 0, b = W().bg;
  if (!c.colour(w[0], f)) return c.failed();
  if (w.size() > 1 && !c.colour(w[1], b)) return c.failed();
  W().fg = f, W().bg = b;
  return c.ok();
}

int cmdPuts(Call& c) {
  Window& win = W();
  auto& w = c.words();
  if (!c.count(1, 1000000, "text ?-nonewline? ?-size points? ?-size2 points? ?-rot tenths?")) return c.failed();
  // The text is always the first word, so captions may begin with "-".
  std::string_view text = w[0];
  w.erase(w.begin());
  const bool noNewline = c.flag("-nonewline");
  std::string_view v;
  bool hasSize = false, hasSize2 = false, hasRot = false;
  double size = 0, rot = 0;
  if (!c.valued("-size", v, hasSize)) return c.failed();
  if (hasSize && !c.number("size", v, size, 1, kMaxPoints)) return c.failed();
  if (!c.valued("-size2", v, hasSize2)) return c.failed();
  if (hasSize2 && !c.number("size", v, size, 1, kMaxPoints)) return c.failed();
  if (!c.valued("-rot", v, hasRot)) return c.failed();
  if (hasRot && !c.number("angle", v, rot, -1.0e15, 1.0e15)) return c.failed();
  if (!c.noOtherOptions() || !c.count(0, 0, "text ?-nonewline? ?-size points? ?-size2 points? ?-rot tenths?"))
    return c.failed();
  const double degrees = std::fmod(rot, 3600.0) / 10.0;
  // Lines of the text: each starts at the x where the text began.
  const int startX = win.textX;
  int y = win.textY, x = startX, lineHeight = win.cellHeight();
  size_t pos = 0;
  while (true) {
    size_t nl = text.find('\n', pos);
    std::string_view line = text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (hasSize || hasSize2) {
      const float px = static_cast<float>(size * 96.0 / 72.0);
      int bw = 0, bh = 0;
      int drawY = y;
      if (win.centreInRow) {
        // Centre the text's line in the row.
        const int lh = static_cast<int>(std::ceil(win.font().ascent(px) + win.font().descent(px)));
        drawY = y + (win.cellHeight() - lh) / 2;
      }
      drawSizedText(win.canvas(), win.font(), x, drawY, line, px, degrees, win.fg, win.bg, hasSize2, bw, bh);
      lineHeight = std::max(win.centreInRow ? win.cellHeight() : 0, bh);
      const double rad = degrees * 3.14159265358979323846 / 180.0;
      x += static_cast<int>(std::lround(bw * std::cos(rad)));
      if (nl == std::string_view::npos && noNewline) y -= static_cast<int>(std::lround(bw * std::sin(rad)));
    } else {
      win.cells().draw(win.canvas(), x, y, line, win.fg, win.bg, false);
      x += static_cast<int>(std::min<size_t>(line.size(), 1u << 20)) * win.cellWidth();
    }
    if (nl == std::string_view::npos) break;
    pos = nl + 1, x = startX, y += lineHeight;
  }
  if (noNewline) {
    win.textX = static_cast<int>(std::clamp<int64_t>(x, -1000000000, 1000000000));
    win.textY = y;
  } else {
    win.textX = startX;
    win.textY = y + lineHeight;
  }
  win.drew();
  return c.ok();
}

int cmdLine(Call& c) {
  const bool dot = c.flag("-dot");
  if (!c.noOtherOptions() || !c.count(4, 6, "x1 y1 x2 y2 ?colour? ?width? ?-dot?")) return c.failed();
  auto& w = c.words();
  double x1, y1, x2, y2, width = 1;
  if (!c.number("x1", w[0], x1) || !c.number("y1", w[1], y1) || !c.number("x2", w[2], x2) || !c.number("y2", w[3], y2))
    return c.failed();
  Rgb col = W().fg;
  if (w.size() > 4 && !c.colour(w[4], col)) return c.failed();
  if (w.size() > 5 && !c.number("width", w[5], width, 0, kMaxPen)) return c.failed();
  x1 = std::round(x1), y1 = std::round(y1), x2 = std::round(x2), y2 = std::round(y2);
  if (dot)
    W().canvas().dottedLine(x1, y1, x2, y2, col, width);
  else
    W().canvas().line(x1, y1, x2, y2, col, width);
  W().drew();
  return c.ok();
}

int cmdCircle(Call& c) {
  const bool fill = c.flag("-fill");
  if (!c.noOtherOptions() || !c.count(4, 4, "x y colour diameter ?-fill?")) return c.failed();
  auto& w = c.words();
  int x, y;
  double d;
  Rgb col;
  if (!c.integer("x", w[0], x) || !c.integer("y", w[1], y) || !c.colour(w[2], col) ||
      !c.number("diameter", w[3], d, 0, kMaxCoord))
    return c.failed();
  W().canvas().circle(x, y, d, col, fill);
  W().drew();
  return c.ok();
}

int cmdRect(Call& c) {
  const bool fill = c.flag("-fill");
  if (!c.noOtherOptions() || !c.count(5, 6, "x y width height colour ?pen? ?-fill?")) return c.failed();
  auto& w = c.words();
  int x, y, rw, rh, pen = 1;
  Rgb col;
  if (!c.integer("x", w[0], x) || !c.integer("y", w[1], y) || !c.integer("width", w[2], rw, 0) ||
      !c.integer("height", w[3], rh, 0) || !c.colour(w[4], col))
    return c.failed();
  // Without a pen the rectangle is filled; with one, it is an outline.
  if (w.size() > 5 && !c.integer("pen", w[5], pen, 0, kMaxPen)) return c.failed();
  if (fill || w.size() == 5 || pen == 0)
    W().canvas().fillRect(x, y, rw, rh, col);
  else
    W().canvas().rectOutline(x, y, rw, rh, col, pen);
  W().drew();
  return c.ok();
}

int cmdBox(Call& c) {
  const bool single = c.flag("-single");
  const bool noFill = c.flag("-nofill");
  if (!c.noOtherOptions() || !c.count(5, 6, "column row width height colour ?colour2? ?-single? ?-nofill?"))
    return c.failed();
  auto& w = c.words();
  int col, row, bw, bh;
  // One colour makes a solid block; a second one fills the frame's inside.
  Rgb frame, inside;
  if (!c.integer("column", w[0], col) || !c.integer("row", w[1], row) || !c.integer("width", w[2], bw, 0) ||
      !c.integer("height", w[3], bh, 0) || !c.colour(w[4], frame))
    return c.failed();
  inside = frame;
  if (w.size() > 5 && !c.colour(w[5], inside)) return c.failed();
  if (bw == 0 || bh == 0) return c.ok();
  Window& win = W();
  const int cw = win.cellWidth(), ch = win.cellHeight();
  // Only the cells that can show are drawn.
  const int64_t c0 = col, r0 = row, c1 = int64_t{col} + bw - 1, r1 = int64_t{row} + bh - 1;
  const int64_t vc0 = std::max<int64_t>(c0, 0), vc1 = std::min<int64_t>(c1, win.columns());
  const int64_t vr0 = std::max<int64_t>(r0, 0), vr1 = std::min<int64_t>(r1, win.rows());
  const unsigned char tl = single ? 218 : 201, tr = single ? 191 : 187, bl = single ? 192 : 200,
                      br = single ? 217 : 188, hz = single ? 196 : 205, vt = single ? 179 : 186;
  std::string cell(1, ' ');
  for (int64_t r = vr0; r <= vr1; ++r)
    for (int64_t k = vc0; k <= vc1; ++k) {
      const bool top = r == r0, bottom = r == r1, left = k == c0, right = k == c1;
      unsigned char g = ' ';
      if (bw == 1 || bh == 1) {
        g = bh == 1 && bw == 1 ? 254 : (bh == 1 ? hz : vt);
      } else if (top && left) {
        g = tl;
      } else if (top && right) {
        g = tr;
      } else if (bottom && left) {
        g = bl;
      } else if (bottom && right) {
        g = br;
      } else if (top || bottom) {
        g = hz;
      } else if (left || right) {
        g = vt;
      }
      const bool edge = g != ' ';
      if (!edge && noFill) continue;
      cell[0] = static_cast<char>(g);
      win.cells().draw(win.canvas(), static_cast<int>(k * cw), static_cast<int>(r * ch), cell, frame, inside,
                       noFill);
    }
  win.drew();
  return c.ok();
}

int cmdPara(Call& c) {
  if (!c.noOtherOptions() || !c.count(6, 8, "x y cutx cuty width height ?colour? ?pen?")) return c.failed();
  auto& w = c.words();
  double x, y, a, b, pw, ph, pen = 1;
  if (!c.number("x", w[0], x) || !c.number("y", w[1], y) || !c.number("cut", w[2], a, 0) ||
      !c.number("cut", w[3], b, 0) || !c.number("width", w[4], pw, 0) || !c.number("height", w[5], ph, 0))
    return c.failed();
  Rgb col = W().fg;
  if (w.size() > 6 && !c.colour(w[6], col)) return c.failed();
  if (w.size() > 7 && !c.number("pen", w[7], pen, 0, kMaxPen)) return c.failed();
  x = std::round(x), y = std::round(y);
  a = std::min(std::round(a), std::floor(pw / 2)), b = std::min(std::round(b), std::floor(ph / 2));
  pw = std::round(pw) - 1, ph = std::round(ph) - 1;
  if (pw < 0 || ph < 0) return c.ok();
  // A plate with its four corners cut off: an octagon inside pw x ph.
  const double xs[8] = {x + a, x + pw - a, x + pw, x + pw, x + pw - a, x + a, x, x};
  const double ys[8] = {y, y, y + b, y + ph - b, y + ph, y + ph, y + ph - b, y + b};
  W().canvas().polygon(xs, ys, 8, col, pen);
  W().drew();
  return c.ok();
}

int cmdSnooze(Call& c) {
  if (!c.noOtherOptions() || !c.count(1, 1, "milliseconds")) return c.failed();
  double ms;
  if (!c.number("time", c.words()[0], ms, -1.0e12, 1.0e12)) return c.failed();
  W().snooze(static_cast<int64_t>(ms));
  return c.ok();
}

int cmdSnapshot(Call& c) {
  if (!c.noOtherOptions() || !c.count(1, 1, "file.png")) return c.failed();
  std::string why;
  if (!W().snapshot(std::string(c.words()[0]), why)) return c.failed(why);
  return c.ok();
}

}  // namespace

int winCommand(void* interp, int argc, char** argv) {
  Call c(interp, argc, argv);
  const std::string& s = c.sub();
  Window& win = W();
  if (argc < 2) return fail(interp, "wrong # args: should be \"win subcommand ?arg ...?\"");
  // Subcommands that need no window.
  if (s == "create") return cmdCreate(c);
  if (s == "preview") return cmdPreview(c);
  if (s == "active") return c.ok(win.active() ? "1" : "0");
  if (s == "speed") {
    if (!c.count(0, 1, "?factor?")) return c.failed();
    if (c.words().size() == 1) {
      int f;
      if (!c.integer("factor", c.words()[0], f, 1, 1000)) return c.failed();
      setSpeed(f);
    }
    return c.ok(std::to_string(speed()));
  }
  if (s == "close") {
    if (!c.count(0, 0, "")) return c.failed();
    win.close();
    return c.ok();
  }
  if (s == "paint") {
    if (!c.count(0, 1, "?1?")) return c.failed();
    if (!win.open()) return c.ok("0");
    return c.ok(win.paintPending(!c.words().empty() && c.words()[0] == "1") ? "1" : "0");
  }
  static const char* const known[] = {"cursor", "columns", "rows", "width", "height", "xpos", "ypos", "gotoxy",
                                      "setpos", "puts", "textcolor", "line", "circle", "rect", "box", "para",
                                      "cls", "snooze", "snapshot", "update", "handle"};
  if (std::find_if(std::begin(known), std::end(known), [&](const char* k) { return s == k; }) == std::end(known))
    return fail(interp, "win: unknown subcommand \"" + std::string(argc > 1 ? argv[1] : "") +
                            "\": use active, box, circle, close, cls, columns, create, cursor, gotoxy, handle, height, "
                            "line, paint, para, preview, puts, rect, rows, setpos, snapshot, snooze, speed, "
                            "textcolor, update, width, xpos or ypos");
  if (!win.open()) return needWindow(c);
  if (s == "cursor") {
    if (!c.count(1, 1, "hide|show")) return c.failed();
    std::string v = lower(c.words()[0]);
    if (v != "hide" && v != "show") return c.failed("expected hide or show, got \"" + std::string(c.words()[0]) + "\"");
    win.cursorVisible = v == "show";
    win.drew();
    return c.ok();
  }
  if (s == "columns") return c.ok(std::to_string(win.columns()));
  if (s == "rows") return c.ok(std::to_string(win.rows()));
  if (s == "width") return c.ok(std::to_string(win.canvas().width()));
  if (s == "height") return c.ok(std::to_string(win.canvas().height()));
  if (s == "handle") return c.ok(std::to_string(win.handle()));
  if (s == "xpos" || s == "ypos") {
    // Words after the cell number are ignored.
    if (!c.count(1, 1000000, s == "xpos" ? "column ?ignored ...?" : "row")) return c.failed();
    int n;
    if (!c.integer(s == "xpos" ? "column" : "row", c.words()[0], n, -1000000, 1000000)) return c.failed();
    int64_t px = int64_t{n} * (s == "xpos" ? win.cellWidth() : win.cellHeight());
    return c.ok(std::to_string(px));
  }
  if (s == "gotoxy") {
    const bool t = c.flag("-t");
    if (!c.noOtherOptions() || !c.count(2, 2, "column row ?-t?")) return c.failed();
    int col, row;
    if (!c.integer("column", c.words()[0], col, -1000000, 1000000) ||
        !c.integer("row", c.words()[1], row, -1000000, 1000000))
      return c.failed();
    win.textX = col * win.cellWidth(), win.textY = row * win.cellHeight(), win.centreInRow = t;
    return c.ok();
  }
  if (s == "setpos") {
    if (!c.noOtherOptions() || !c.count(2, 2, "x y")) return c.failed();
    int x, y;
    if (!c.integer("x", c.words()[0], x, -1000000000, 1000000000) || !c.integer("y", c.words()[1], y, -1000000000, 1000000000))
      return c.failed();
    win.textX = x, win.textY = y, win.centreInRow = false;
    return c.ok();
  }
  if (s == "puts") return cmdPuts(c);
  if (s == "textcolor") return cmdTextcolor(c);
  if (s == "line") return cmdLine(c);
  if (s == "circle") return cmdCircle(c);
  if (s == "rect") return cmdRect(c);
  if (s == "box") return cmdBox(c);
  if (s == "para") return cmdPara(c);
  if (s == "cls") {
    if (!c.count(0, 0, "")) return c.failed();
    win.canvas().clear(win.bg);
    win.textX = win.textY = 0;
    win.drew();
    return c.ok();
  }
  if (s == "snooze") return cmdSnooze(c);
  if (s == "snapshot") return cmdSnapshot(c);
  if (s == "update") {
    win.presentNow();
    win.pumpEvents(0);
    return c.ok();
  }
  return needWindow(c);
}

}  // namespace owin
