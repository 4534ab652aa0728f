// Presenters show the canvas: a window of the operating system, or nothing
// at all (headless). Each lives in its own file; only those files include
// operating-system headers.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"

namespace owin {

struct OpenRequest {
  int width = 0, height = 0;  // 0 with fullscreen: the screen's size
  bool fullscreen = false;
  std::string title = "Orvel";
  int64_t parent = 0;         // preview: draw into this window (Windows)
};

// What the presenter saw while it handled events.
struct WindowEvents {
  bool closed = false;     // the window was closed
  bool exposed = false;    // uncovered or restored: the picture may need redrawing
  bool mouseExit = false;  // a click or a mouse movement beyond a few pixels
  bool screenshot = false; // F12
  std::vector<int> keys;   // console key codes
};

class Presenter {
 public:
  virtual ~Presenter() = default;
  // Opens the window; false with the reason in why.
  virtual bool open(const OpenRequest& request, std::string& why) = 0;
  virtual int width() const = 0;
  virtual int height() const = 0;
  virtual int64_t handle() const = 0;
  virtual bool headless() const { return false; }
  // Shows the canvas; dirty is the part changed since the last call.
  virtual void present(const Canvas& canvas, const Rect& dirty) = 0;
  // Handles the pending events, waiting up to waitMs for the first one.
  virtual void pump(int waitMs, WindowEvents& events) = 0;
  virtual void close() = 0;
};

std::unique_ptr<Presenter> makeHeadlessPresenter();
// The operating system's window presenter (SDL2 on Linux, GDI on Windows).
std::unique_ptr<Presenter> makeWindowPresenter();
// True when keys typed into windows reach the console by themselves (they
// are then not handed to the event pump).
bool keysGoToConsole();

}  // namespace owin
