#include <windows.h>

#include "platform/console.h"

namespace plat {

bool consoleWindow(const std::string& op) {
  HWND w = GetConsoleWindow();
  if (!w) return op != "fullscreen";
  if (op == "hide") ShowWindow(w, SW_HIDE);
  else if (op == "show") {
    ShowWindow(w, SW_SHOW);
    ShowWindow(w, SW_RESTORE);
  } else if (op == "setfocus") {
    ShowWindow(w, SW_HIDE);
    ShowWindow(w, SW_SHOW);
    ShowWindow(w, SW_RESTORE);
    SetForegroundWindow(w);
  } else if (op == "maximize") {
    ShowWindow(w, SW_MAXIMIZE);
    SetForegroundWindow(w);
  } else if (op == "minimize") {
    ShowWindow(w, SW_MINIMIZE);
  } else if (op == "fullscreen") {
    ShowWindow(w, SW_MAXIMIZE);
    return false;
  }
  return true;
}

void showCursor(bool show) {
  HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
  CONSOLE_CURSOR_INFO ci;
  if (!GetConsoleCursorInfo(h, &ci)) return;
  ci.bVisible = show ? TRUE : FALSE;
  SetConsoleCursorInfo(h, &ci);
}

void screenPixels(int& width, int& height) {
  width = GetSystemMetrics(SM_CXSCREEN);
  height = GetSystemMetrics(SM_CYSCREEN);
}

}  // namespace plat
