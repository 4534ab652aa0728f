#include <unistd.h>

#include <cstdio>

#include "platform/console.h"

namespace plat {

bool consoleWindow(const std::string& operation) { return operation != "fullscreen"; }

void showCursor(bool show) {
  if (capture() || !isatty(1)) return;
  writeOut(show ? "\x1b[?25h" : "\x1b[?25l");
}

void screenPixels(int& width, int& height) {
  // Without a display server to ask, a common desktop size.
  width = 1920;
  height = 1080;
}

}  // namespace plat
