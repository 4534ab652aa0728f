#include "window.h"

#include <stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace owin {

namespace {
using Clock = std::chrono::steady_clock;
int gSpeed = 1;
// Drawing shows itself at most this often while a script draws without
// waiting; waits and key polls show it at once.
constexpr auto kPresentInterval = std::chrono::milliseconds(40);
constexpr int kMaxPixels = 64 * 1024 * 1024;
}  // namespace

int speed() { return gSpeed; }
void setSpeed(int factor) { gSpeed = std::clamp(factor, 1, 1000); }

Window& theWindow() {
  static Window w;
  return w;
}

TrueType& Window::font() {
  if (!font_) font_ = std::make_unique<TrueType>();
  return *font_;
}

bool Window::create(const CreateOptions& o, std::string& why) {
  if (open()) {
    why = "a window is open already (win close first)";
    return false;
  }
  std::unique_ptr<Presenter> p = o.headless ? makeHeadlessPresenter() : makeWindowPresenter();
  OpenRequest r;
  r.width = o.width, r.height = o.height, r.fullscreen = o.fullscreen, r.title = o.title, r.parent = o.parent;
  if (!p->open(r, why)) return false;
  const int w = p->width(), h = p->height();
  if (w <= 0 || h <= 0 || static_cast<int64_t>(w) * h > kMaxPixels) {
    p->close();
    why = "window size " + std::to_string(w) + "x" + std::to_string(h) + " is not usable";
    return false;
  }
  canvas_ = Canvas(w, h, kDefaultBg);
  // Cells: 8 x 16 like a console; the small font takes the largest cell up
  // to that which still gives at least 160 columns and 60 rows.
  int cw = 8, ch = 16;
  if (o.smallFont) {
    cw = std::clamp(w / 160, 5, 8);
    ch = std::clamp(h / 60, 8, 16);
  }
  cells_ = std::make_unique<CellFont>(font(), cw, ch);
  presenter_ = std::move(p);
  textX = textY = 0, centreInRow = false, fg = kDefaultFg, bg = kDefaultBg, cursorVisible = true;
  active_ = true, paint_ = false;
  keys_.clear();
  presentNow();
  return true;
}

void Window::close() {
  if (presenter_) presenter_->close();
  presenter_.reset();
  cells_.reset();
  canvas_ = Canvas();
  active_ = false, paint_ = false;
  keys_.clear();
}

void Window::presentNow() {
  if (!presenter_) return;
  Rect dirty = canvas_.takeDirty();
  if (!presenter_->headless()) {
    // The text cursor is laid over the shown picture, not into the canvas.
    const int cw = cellWidth(), ch = cellHeight(), thick = std::max(1, ch / 8);
    const int cx = textX, cy = textY + ch - thick;
    std::vector<uint32_t> saved;
    const bool cursor = cursorVisible && canvas_.inside(cx, cy) && canvas_.inside(cx + cw - 1, cy + thick - 1);
    if (cursor) {
      for (int y = 0; y < thick; ++y)
        for (int x = 0; x < cw; ++x) saved.push_back(canvas_.at(cx + x, cy + y));
      uint32_t* px = canvas_.pixels();
      for (int y = 0; y < thick; ++y)
        for (int x = 0; x < cw; ++x) px[static_cast<size_t>(cy + y) * canvas_.width() + cx + x] = fg;
      dirty.add(Rect{cx, cy, cx + cw, cy + thick});
    }
    if (!dirty.empty()) presenter_->present(canvas_, dirty);
    if (cursor) {
      uint32_t* px = canvas_.pixels();
      size_t i = 0;
      for (int y = 0; y < thick; ++y)
        for (int x = 0; x < cw; ++x) px[static_cast<size_t>(cy + y) * canvas_.width() + cx + x] = saved[i++];
      // Where the cursor stood must be shown again once it moves.
      canvas_.markDirty(cx, cy, cx + cw, cy + thick);
    }
  }
  lastPresent_ = Clock::now();
}

void Window::drew() {
  if (!presenter_ || presenter_->headless()) return;
  if (Clock::now() - lastPresent_ >= kPresentInterval) {
    presentNow();
    pumpEvents(0);
  }
}

void Window::pumpEvents(int wait) {
  if (!presenter_) return;
  WindowEvents ev;
  presenter_->pump(wait, ev);
  if (ev.closed || ev.mouseExit) active_ = false;
  if (ev.exposed) {
    paint_ = true;
    canvas_.markAll();
    presentNow();
  }
  for (int k : ev.keys) keys_.push_back(k);
  while (keys_.size() > 256) keys_.pop_front();
  if (ev.screenshot) screenshot();
}

void Window::snooze(int64_t ms) {
  if (!presenter_) return;
  ms = std::max<int64_t>(0, ms) / gSpeed;
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  presentNow();
  pumpEvents(0);
  while (active()) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) break;
    pumpEvents(static_cast<int>(std::min<int64_t>(left, 1000)));
  }
}

void waitMs(Window& window, int64_t ms) {
  if (window.open()) {
    window.snooze(ms);
  } else if (ms > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms / speed()));
  }
}

bool Window::paintPending(bool consume) {
  if (presenter_) pumpEvents(0);
  bool p = paint_;
  if (consume) paint_ = false;
  return p;
}

int Window::takeKeys(int* keys, int maxKeys) {
  int n = 0;
  while (n < maxKeys && !keys_.empty()) {
    keys[n++] = keys_.front();
    keys_.pop_front();
  }
  return n;
}

bool Window::snapshot(const std::string& file, std::string& why) const {
  if (canvas_.width() <= 0) {
    why = "nothing to write";
    return false;
  }
  std::vector<unsigned char> rgb(static_cast<size_t>(canvas_.width()) * canvas_.height() * 3);
  const uint32_t* p = canvas_.pixels();
  for (size_t i = 0, n = static_cast<size_t>(canvas_.width()) * canvas_.height(); i < n; ++i) {
    rgb[i * 3] = static_cast<unsigned char>(p[i] >> 16);
    rgb[i * 3 + 1] = static_cast<unsigned char>(p[i] >> 8);
    rgb[i * 3 + 2] = static_cast<unsigned char>(p[i]);
  }
  if (!stbi_write_png(file.c_str(), canvas_.width(), canvas_.height(), 3, rgb.data(), canvas_.width() * 3)) {
    why = "can't write \"" + file + "\"";
    return false;
  }
  return true;
}

void Window::screenshot() {
  // The first free name of orvel_win_001.png, orvel_win_002.png, ...
  for (int tries = 0; tries < 1000; ++tries) {
    char name[64];
    std::snprintf(name, sizeof name, "orvel_win_%03d.png", ++screenshotNumber_);
    if (FILE* f = std::fopen(name, "rb")) {
      std::fclose(f);
      continue;
    }
    std::string why;
    if (!snapshot(name, why)) std::fprintf(stderr, "win: screenshot: %s\n", why.c_str());
    return;
  }
}

}  // namespace owin
