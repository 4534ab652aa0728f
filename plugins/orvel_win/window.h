// The plug-in's one drawing window: the canvas, its presenter, the text
// position and colours, and the state the script asks about.
#pragma once
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "canvas.h"
#include "presenter.h"
#include "text.h"

namespace owin {

struct CreateOptions {
  bool fullscreen = false;
  bool smallFont = false;
  bool headless = false;
  int width = 0, height = 0;
  std::string title = "Orvel";
  int64_t parent = 0;
};

class Window {
 public:
  // Opens the window; false with the reason.
  bool create(const CreateOptions& options, std::string& why);
  void close();
  bool open() const { return presenter_ != nullptr; }
  bool active() const { return open() && active_; }
  int64_t handle() const { return presenter_ ? presenter_->handle() : 0; }
  bool headless() const { return presenter_ && presenter_->headless(); }

  Canvas& canvas() { return canvas_; }
  TrueType& font();
  const CellFont& cells() const { return *cells_; }
  int cellWidth() const { return cells_->cellWidth(); }
  int cellHeight() const { return cells_->cellHeight(); }
  int columns() const { return canvas_.width() / cellWidth(); }
  int rows() const { return canvas_.height() / cellHeight(); }

  // Text position (pixels) and colours.
  int textX = 0, textY = 0;
  bool centreInRow = false;  // gotoxy -t: sized text centred in the row
  Rgb fg = kDefaultFg, bg = kDefaultBg;
  bool cursorVisible = true;
  static constexpr Rgb kDefaultFg = 0xC0C0C0, kDefaultBg = 0x000000;

  // After drawing: shows the picture when the last showing is a while ago.
  void drew();
  // Shows what changed now.
  void presentNow();
  // Handles window events (waiting up to waitMs for the first).
  void pumpEvents(int waitMs);
  // Waits ms milliseconds (divided by the speed) on window events.
  void snooze(int64_t ms);
  // True once after the window was uncovered or restored (with consume).
  bool paintPending(bool consume);
  // Keys typed into the window, for the host's event pump.
  int takeKeys(int* keys, int maxKeys);
  // Writes the canvas as a PNG file; false with the reason.
  bool snapshot(const std::string& file, std::string& why) const;

 private:
  void screenshot();
  std::unique_ptr<Presenter> presenter_;
  Canvas canvas_;
  std::unique_ptr<TrueType> font_;
  std::unique_ptr<CellFont> cells_;
  bool active_ = false;
  bool paint_ = false;
  std::deque<int> keys_;
  std::chrono::steady_clock::time_point lastPresent_{};
  int screenshotNumber_ = 0;
};

// Waits (speed-adjusted) through the window when one is open, else sleeps.
void waitMs(Window& window, int64_t ms);

// Speed factor of every wait: 1 to 1000.
int speed();
void setSpeed(int factor);

// The plug-in's window.
Window& theWindow();

}  // namespace owin
