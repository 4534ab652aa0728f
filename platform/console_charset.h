// The character set the console shows text in, for commands that draw with
// line characters.
#pragma once

namespace plat {

// True when console text is read as UTF-8 (POSIX terminals with a UTF-8
// locale, a Windows console set to code page 65001); false for a single-byte
// code page such as the Windows console's OEM page 437.
bool consoleTextIsUtf8();

}  // namespace plat
