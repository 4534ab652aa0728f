// Console access for the interpreter. Colours are Windows console
// attribute bytes (low nibble foreground, high nibble background); the
// POSIX backend turns them into ANSI sequences only when standard output
// is a terminal.
#pragma once
#include <string>
#include <string_view>

namespace plat {

// Output. Everything written to standard output goes through here so that
// tests can capture it (see setCapture).
void writeOut(std::string_view text);
void writeErr(std::string_view text);
void flushOut();
bool stdoutIsTerminal();
bool stdinIsTerminal();

// While a sink is set, writeOut and writeErr append to it instead of the
// console and attribute changes write nothing. nullptr restores the console.
void setCapture(std::string* sink);
std::string* capture();

// Attributes and cursor (1-based coordinates).
void setAttribute(int attr);
int getAttribute();
void setCursor(int x, int y);
bool getCursor(int& x, int& y);
bool windowSize(int& cols, int& rows);
void clearScreen(char fill, int attr);
void fillToLineEnd(char ch);

// Keyboard: keys are read without echo.
int pollKey();      // code of a waiting key (consumed), or 0 when none waits
bool keyWaiting();  // a key waits (not consumed)
int readKey();      // waits for a key
void flushInput();
// One line of standard input, read with the terminal's normal echo and line
// editing (key input mode is left first); the line end is removed. False at
// end of input when nothing was read.
bool readLine(std::string& line);

// Console window.
bool setTitle(const std::string& title);
bool getTitle(std::string& title);

}  // namespace plat

namespace plat {
// Console window operations (console_window_*.cpp). The POSIX backend has no
// window to act on and answers as if the operation succeeded.
bool consoleWindow(const std::string& operation);  // hide, show, maximize, fullscreen, ...
void showCursor(bool show);
void screenPixels(int& width, int& height);        // primary screen size in pixels
}  // namespace plat
