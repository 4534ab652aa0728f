// Console backend for Windows. Standard output goes through the C runtime
// in binary mode (the interpreter writes its own "\r\n"), buffered when it
// is a pipe or a file and flushed at once when it is a console. Attribute,
// cursor, clearing, key and title calls use the console API and do nothing
// (or report failure) when there is no console, for example when the output
// is redirected or the program runs without a console window.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <deque>
#include <string>

#include "platform/console.h"
#include "platform/console_common.h"
#include "platform/event_pump.h"

namespace plat {

namespace {

struct StreamSetup {
  StreamSetup() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
  }
};
const StreamSetup gStreamSetup;

int gAttribute = 7;
std::deque<int> gKeys;  // decoded key codes not yet handed out

HANDLE outHandle() { return GetStdHandle(STD_OUTPUT_HANDLE); }
HANDLE inHandle() { return GetStdHandle(STD_INPUT_HANDLE); }

bool isConsole(HANDLE h) {
  DWORD mode = 0;
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode) != 0;
}

bool outIsConsole() { return isConsole(outHandle()); }
bool inIsConsole() { return isConsole(inHandle()); }

// Console control happens only with a console and while nothing captures.
bool consoleControl() { return capture() == nullptr && outIsConsole(); }

bool bufferInfo(CONSOLE_SCREEN_BUFFER_INFO& info) {
  return GetConsoleScreenBufferInfo(outHandle(), &info) != 0;
}

// Turns one console input event into key codes.
void translateEvent(const INPUT_RECORD& rec) {
  if (rec.EventType != KEY_EVENT) return;
  const KEY_EVENT_RECORD& k = rec.Event.KeyEvent;
  if (!k.bKeyDown) return;
  unsigned char ch = static_cast<unsigned char>(k.uChar.AsciiChar);
  if (ch != 0) {
    gKeys.push_back(ch);
    return;
  }
  switch (k.wVirtualKeyCode) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_CAPITAL: case VK_NUMLOCK:
    case VK_SCROLL: case VK_LWIN: case VK_RWIN: case VK_APPS:
      return;  // modifier keys alone are not keys
    default:
      break;
  }
  if (k.wVirtualScanCode == 0) return;
  gKeys.push_back(detail::kSpecialKeyPrefix);
  gKeys.push_back(k.wVirtualScanCode & 0xFF);
}

// Moves all waiting console input events into the key queue.
void pumpConsole() {
  HANDLE in = inHandle();
  for (int guard = 0; guard < 4096; ++guard) {
    DWORD n = 0;
    if (!GetNumberOfConsoleInputEvents(in, &n) || n == 0) return;
    INPUT_RECORD rec;
    DWORD got = 0;
    if (!ReadConsoleInputA(in, &rec, 1, &got) || got == 0) return;
    translateEvent(rec);
  }
}

}  // namespace

void writeOut(std::string_view text) {
  if (std::string* sink = capture()) {
    sink->append(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (outIsConsole()) std::fflush(stdout);
}

void writeErr(std::string_view text) {
  if (std::string* sink = capture()) {
    sink->append(text);
    return;
  }
  std::fflush(stdout);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

void flushOut() {
  std::fflush(stdout);
  std::fflush(stderr);
}

bool stdoutIsTerminal() { return outIsConsole(); }
bool stdinIsTerminal() { return inIsConsole(); }

void setAttribute(int attr) {
  gAttribute = attr & 0xFF;
  if (!consoleControl()) return;
  std::fflush(stdout);
  SetConsoleTextAttribute(outHandle(), static_cast<WORD>(gAttribute));
}

int getAttribute() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (consoleControl() && bufferInfo(info)) return info.wAttributes & 0xFF;
  return gAttribute;
}

void setCursor(int x, int y) {
  if (x < 1) x = 1;
  if (y < 1) y = 1;
  if (x > 32767) x = 32767;
  if (y > 32767) y = 32767;
  if (!consoleControl()) return;
  std::fflush(stdout);
  COORD c{static_cast<SHORT>(x - 1), static_cast<SHORT>(y - 1)};
  SetConsoleCursorPosition(outHandle(), c);
}

bool getCursor(int& x, int& y) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  std::fflush(stdout);
  if (!bufferInfo(info)) return false;
  x = info.dwCursorPosition.X + 1;
  y = info.dwCursorPosition.Y + 1;
  return true;
}

bool windowSize(int& cols, int& rows) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!bufferInfo(info)) return false;
  cols = info.srWindow.Right - info.srWindow.Left + 1;
  rows = info.srWindow.Bottom - info.srWindow.Top + 1;
  return cols > 0 && rows > 0;
}

void clearScreen(char fill, int attr) {
  if (!consoleControl()) return;
  std::fflush(stdout);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!bufferInfo(info)) return;
  HANDLE out = outHandle();
  DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
  COORD home{0, 0};
  DWORD written = 0;
  FillConsoleOutputCharacterA(out, fill == '\0' ? ' ' : fill, cells, home, &written);
  FillConsoleOutputAttribute(out, static_cast<WORD>(attr & 0xFF), cells, home, &written);
  SetConsoleCursorPosition(out, home);
}

void fillToLineEnd(char ch) {
  if (!consoleControl()) return;
  std::fflush(stdout);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!bufferInfo(info)) return;
  int width = info.dwSize.X > 0 ? info.dwSize.X : 79;
  int count = width - info.dwCursorPosition.X;
  if (count <= 0) return;
  DWORD written = 0;
  FillConsoleOutputCharacterA(outHandle(), ch, static_cast<DWORD>(count), info.dwCursorPosition, &written);
}

void queueKey(int code) { gKeys.push_back(code); }

int pollKey() {
  runEventPumps();
  if (gKeys.empty() && inIsConsole()) {
    flushOut();
    pumpConsole();
  }
  if (gKeys.empty()) return 0;
  int k = gKeys.front();
  gKeys.pop_front();
  return k;
}

bool keyWaiting() {
  runEventPumps();
  if (gKeys.empty() && inIsConsole()) {
    flushOut();
    pumpConsole();
  }
  return !gKeys.empty();
}

int readKey() {
  flushOut();
  if (!inIsConsole()) {
    runEventPumps();
    if (!gKeys.empty()) return pollKey();
    int c = std::getchar();
    return c == EOF ? 27 : detail::consoleCodeForByte(static_cast<unsigned char>(c));
  }
  while (gKeys.empty()) {
    // While plug-in windows are open their events are handled between
    // short waits for input.
    bool pumps = haveEventPumps();
    if (pumps) {
      runEventPumps();
      if (!gKeys.empty()) break;
    }
    DWORD r = WaitForSingleObject(inHandle(), pumps ? 20 : INFINITE);
    if (r == WAIT_TIMEOUT) continue;
    if (r != WAIT_OBJECT_0) return 27;
    pumpConsole();
  }
  return pollKey();
}

void flushInput() {
  gKeys.clear();
  if (inIsConsole()) FlushConsoleInputBuffer(inHandle());
}

bool readLine(std::string& line) {
  flushOut();
  line.clear();
  while (!gKeys.empty()) {
    int k = gKeys.front();
    gKeys.pop_front();
    if (k == 13) return true;
    if (k == detail::kSpecialKeyPrefix && !gKeys.empty()) {
      gKeys.pop_front();
      continue;
    }
    if (k == 8) {
      if (!line.empty()) line.pop_back();
      continue;
    }
    line += static_cast<char>(k);
  }
  bool any = !line.empty();
  for (;;) {
    int c = std::getchar();
    if (c == EOF) {
      std::clearerr(stdin);
      return any;
    }
    any = true;
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool setTitle(const std::string& title) {
  return SetConsoleTitleA(detail::sanitizeTitle(title).c_str()) != 0;
}

bool getTitle(std::string& title) {
  char buf[1024];
  SetLastError(ERROR_SUCCESS);
  DWORD n = GetConsoleTitleA(buf, sizeof buf);
  if (n == 0 && GetLastError() != ERROR_SUCCESS) return false;
  if (n >= sizeof buf) n = sizeof buf - 1;
  title.assign(buf, n);
  return true;
}

}  // namespace plat
