// Console backend for POSIX terminals. Output goes through stdio so that it
// is buffered when standard output is a pipe or a file; attributes, cursor
// and clearing become ANSI sequences only when standard output is a
// terminal. Keys are read from a terminal in non-canonical mode without
// echo; the terminal's settings are restored at exit and around line input
// and child processes.
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

#include "platform/console.h"
#include "platform/console_common.h"
#include "platform/posix/terminal_mode.h"
#include "platform/event_pump.h"

namespace plat {

namespace {

int gAttribute = 7;
// Cursor position tracked over our own output, valid once it was set.
bool gCursorKnown = false;
int gCursorX = 1, gCursorY = 1;
std::string gTitle;
bool gTitleSet = false;
bool gTerminalAnswers = true;  // cleared when a cursor query went unanswered
std::deque<int> gKeys;  // decoded key codes not yet handed out

bool outIsTty() {
  static const bool tty = isatty(STDOUT_FILENO) == 1;
  return tty;
}

bool inIsTty() {
  static const bool tty = isatty(STDIN_FILENO) == 1;
  return tty;
}

// Writes a control sequence to the terminal (not to a capture sink).
void writeControl(std::string_view seq) {
  std::fwrite(seq.data(), 1, seq.size(), stdout);
  std::fflush(stdout);
}

bool terminalControl() { return outIsTty() && capture() == nullptr; }

// Waits up to timeoutMs for a byte on standard input; -1 waits forever.
bool inputReady(int timeoutMs) {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  for (;;) {
    int r = poll(&p, 1, timeoutMs);
    if (r < 0 && errno == EINTR) continue;
    return r > 0 && (p.revents & (POLLIN | POLLHUP)) != 0;
  }
}

// Reads one byte from the terminal; -1 at end of input or on error.
int readByte() {
  unsigned char c;
  for (;;) {
    ssize_t n = read(STDIN_FILENO, &c, 1);
    if (n == 1) return c;
    if (n < 0 && errno == EINTR) continue;
    return -1;
  }
}

// Reads whatever the terminal has ready and turns it into key codes.
// Returns false at end of input.
bool pumpTerminal(int timeoutMs) {
  if (!inputReady(timeoutMs)) return true;
  int c = readByte();
  if (c < 0) return false;
  if (c != 27) {
    gKeys.push_back(detail::consoleCodeForByte(static_cast<unsigned char>(c)));
    return true;
  }
  // An Escape byte alone is the Escape key; followed quickly by more bytes
  // it starts the sequence of a special key.
  std::string seq;
  while (seq.size() < 16 && inputReady(seq.empty() ? 30 : 10)) {
    int b = readByte();
    if (b < 0) break;
    seq += static_cast<char>(b);
    if (seq.size() == 1) {
      if (b != '[' && b != 'O') break;
      continue;
    }
    if (seq[0] == 'O') break;
    if (seq.size() == 2 && b == '[') continue;  // Linux console F keys
    if (detail::isCsiFinal(static_cast<unsigned char>(b))) break;
  }
  if (seq.empty()) {
    gKeys.push_back(27);
  } else if (!detail::decodeEscapeSequence(seq, gKeys)) {
    if (seq.size() == 1) {  // Alt+key: Escape, then the key
      gKeys.push_back(27);
      gKeys.push_back(detail::consoleCodeForByte(static_cast<unsigned char>(seq[0])));
    }
    // Unknown sequences are dropped.
  }
  return true;
}

// Asks the terminal for the cursor position (ESC [ 6 n). Bytes that arrive
// before the reply are kept as keys.
bool queryCursor(int& x, int& y) {
  if (!inIsTty() || !outIsTty() || !gTerminalAnswers) return false;
  terminal::enterKeyMode();
  writeControl("\x1b[6n");
  std::string pending;
  for (int guard = 0; guard < 64; ++guard) {
    if (!inputReady(200)) break;
    int c = readByte();
    if (c < 0) break;
    pending += static_cast<char>(c);
    size_t esc = pending.rfind("\x1b[");
    if (esc != std::string::npos && c == 'R') {
      int row = 0, col = 0;
      if (std::sscanf(pending.c_str() + esc, "\x1b[%d;%dR", &row, &col) == 2 && row > 0 && col > 0) {
        for (size_t i = 0; i < esc; ++i)
          gKeys.push_back(detail::consoleCodeForByte(static_cast<unsigned char>(pending[i])));
        x = col;
        y = row;
        gCursorKnown = true;
        gCursorX = x;
        gCursorY = y;
        return true;
      }
    }
  }
  for (char ch : pending) gKeys.push_back(detail::consoleCodeForByte(static_cast<unsigned char>(ch)));
  gTerminalAnswers = false;
  return false;
}

void track(std::string_view text) {
  if (!gCursorKnown) return;
  int cols = 0, rows = 0;
  windowSize(cols, rows);
  detail::advanceCursor(text, cols, rows, gCursorX, gCursorY);
}

}  // namespace

void writeOut(std::string_view text) {
  if (std::string* sink = capture()) {
    sink->append(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (outIsTty()) {
    std::fflush(stdout);
    track(text);
  }
}

void writeErr(std::string_view text) {
  if (std::string* sink = capture()) {
    sink->append(text);
    return;
  }
  std::fflush(stdout);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
  if (outIsTty() && isatty(STDERR_FILENO) == 1) track(text);
}

void flushOut() {
  std::fflush(stdout);
  std::fflush(stderr);
}

bool stdoutIsTerminal() { return outIsTty(); }
bool stdinIsTerminal() { return inIsTty(); }

void setAttribute(int attr) {
  gAttribute = attr & 0xFF;
  if (terminalControl()) writeControl(detail::sgrForAttribute(gAttribute));
}

int getAttribute() { return gAttribute; }

void setCursor(int x, int y) {
  if (x < 1) x = 1;
  if (y < 1) y = 1;
  if (!terminalControl()) return;
  writeControl("\x1b[" + std::to_string(y) + ";" + std::to_string(x) + "H");
  gCursorKnown = true;
  gCursorX = x;
  gCursorY = y;
}

bool getCursor(int& x, int& y) {
  if (!outIsTty()) return false;
  std::fflush(stdout);
  if (queryCursor(x, y)) return true;
  if (!gCursorKnown) return false;
  x = gCursorX;
  y = gCursorY;
  return true;
}

bool windowSize(int& cols, int& rows) {
  winsize ws{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) != 0 || ws.ws_col == 0 || ws.ws_row == 0) return false;
  cols = ws.ws_col;
  rows = ws.ws_row;
  return true;
}

void clearScreen(char fill, int attr) {
  if (!terminalControl()) return;
  std::string s = detail::sgrForAttribute(attr);
  if (fill == ' ' || fill == '\0') {
    s += "\x1b[2J";
  } else {
    int cols = 80, rows = 24;
    windowSize(cols, rows);
    s += "\x1b[H\x1b[?7l";  // no wrapping while the screen is filled
    std::string line(static_cast<size_t>(cols), fill);
    for (int r = 1; r <= rows; ++r) {
      s += "\x1b[" + std::to_string(r) + ";1H";
      s += line;
    }
    s += "\x1b[?7h";
  }
  s += "\x1b[H";
  s += detail::sgrForAttribute(gAttribute);  // the fill colour is not kept
  writeControl(s);
  gCursorKnown = true;
  gCursorX = 1;
  gCursorY = 1;
}

void fillToLineEnd(char ch) {
  if (!terminalControl()) return;
  if (ch == ' ') {
    writeControl("\x1b[K");
    return;
  }
  // Without wrapping the last column takes the surplus; the cursor is put
  // back where it was.
  int cols = 80, rows = 24;
  windowSize(cols, rows);
  std::string s = "\x1b" "7\x1b[?7l";
  s.append(static_cast<size_t>(cols), ch);
  s += "\x1b[?7h\x1b" "8";
  writeControl(s);
}

void queueKey(int code) { gKeys.push_back(code); }

int pollKey() {
  runEventPumps();
  if (gKeys.empty() && inIsTty()) {
    flushOut();
    terminal::enterKeyMode();
    pumpTerminal(0);
  }
  if (gKeys.empty()) return 0;
  int k = gKeys.front();
  gKeys.pop_front();
  return k;
}

bool keyWaiting() {
  runEventPumps();
  if (gKeys.empty() && inIsTty()) {
    flushOut();
    terminal::enterKeyMode();
    pumpTerminal(0);
  }
  return !gKeys.empty();
}

// True when stdio already holds read-ahead bytes of standard input.
static bool stdinBuffered() {
#ifdef __GLIBC__
  return stdin->_IO_read_ptr < stdin->_IO_read_end;
#else
  return false;
#endif
}

int readKey() {
  flushOut();
  if (!inIsTty()) {
    // While plug-in windows are open their events are handled between
    // short waits for input.
    while (gKeys.empty() && haveEventPumps() && !stdinBuffered() && !inputReady(20)) runEventPumps();
    if (!gKeys.empty()) return pollKey();
    int c = std::getchar();
    return c == EOF ? 27 : detail::consoleCodeForByte(static_cast<unsigned char>(c));
  }
  terminal::enterKeyMode();
  while (gKeys.empty()) {
    if (haveEventPumps()) {
      runEventPumps();
      if (!gKeys.empty()) break;
      if (!pumpTerminal(20)) return 27;
    } else if (!pumpTerminal(-1)) {
      return 27;  // the terminal went away
    }
  }
  return pollKey();
}

void flushInput() {
  gKeys.clear();
  if (inIsTty()) tcflush(STDIN_FILENO, TCIFLUSH);
}

bool readLine(std::string& line) {
  flushOut();
  line.clear();
  terminal::leaveKeyMode();
  // Keys already decoded but not handed out begin the line.
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
  gTitle = detail::sanitizeTitle(title);
  gTitleSet = true;
  if (!outIsTty()) return false;
  writeControl("\x1b]2;" + gTitle + "\x07");
  return true;
}

bool getTitle(std::string& title) {
  // Terminals rarely answer title queries; the title this program set last
  // is the best knowledge there is.
  if (!gTitleSet) return false;
  title = gTitle;
  return true;
}

}  // namespace plat
