// Pieces of the console layer that do not depend on the operating system:
// the translation of console attribute bytes into ANSI sequences, the
// decoding of terminal key sequences and the queue of decoded key codes.
// Only the console backends and their tests include this header.
#pragma once
#include <deque>
#include <string>
#include <string_view>

namespace plat::detail {

// The select-graphic-rendition sequence for a console attribute byte
// (low nibble foreground, high nibble background; bit 0 blue, bit 1 green,
// bit 2 red, bit 3 intensity). Attribute 7 resets to the terminal's own
// colours.
std::string sgrForAttribute(int attr);

// Removes control characters so that a title cannot end the title sequence
// early or smuggle other sequences to the terminal.
std::string sanitizeTitle(std::string_view title);

// Key codes of special keys follow the console convention: a prefix code of
// 224 followed by the key's scan code (72 up, 80 down, 75 left, 77 right,
// 71 Home, 79 End, 73 Page Up, 81 Page Down, 82 Insert, 83 Delete,
// 59..68 F1..F10, 133 F11, 134 F12).
constexpr int kSpecialKeyPrefix = 224;

// Decodes the bytes of one terminal escape sequence that followed an Escape
// byte (for example "[A" or "OP" or "[15~") into key codes appended to out.
// Returns false when the sequence is not a known key; nothing is appended
// then.
bool decodeEscapeSequence(std::string_view seq, std::deque<int>& out);

// True when the byte ends a CSI sequence (a final byte 0x40..0x7E).
inline bool isCsiFinal(unsigned char c) { return c >= 0x40 && c <= 0x7E; }

// Maps a plain byte read from a terminal to the code a console reports:
// DEL (Backspace on most terminals) becomes 8, line feed becomes 13.
int consoleCodeForByte(unsigned char c);

// Moves the cursor position (1-based) over written text as a terminal does:
// CR to column 1, LF to the next row, backspace one column left, tab to the
// next multiple of 8, other bytes one column right with wrapping at cols
// (when cols > 0) and the row kept within rows (when rows > 0).
void advanceCursor(std::string_view text, int cols, int rows, int& x, int& y);

}  // namespace plat::detail
