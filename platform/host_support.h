// Services the Hexbury program needs from the operating system at start-up:
// the per-user data folder, the socket library, the console window's icons
// and the nature of a failed file open.
#pragma once
#include <string>

namespace plat {

// The per-user local application-data folder, without a trailing
// separator: the shell's local AppData folder on Windows (looked up at run
// time; empty when no function for it is found), $XDG_DATA_HOME or
// ~/.local/share elsewhere. Empty when there is none.
std::string localAppDataFolder();

// The path separator this system writes ('\\' on Windows, '/' elsewhere).
char pathSeparator();

// Starts the socket library (Windows Sockets 2.2). False with the library's
// error number when it fails; elsewhere there is nothing to start.
bool socketsStartup(int& error);
void socketsCleanup();

// Clears the small and large icons of the console window that carries the
// given title (nothing to do where the console has no window of its own).
void clearConsoleWindowIcons(const std::string& title);

// After a failed fopen: true when the failure may pass if the open is tried
// again (a file held open without sharing by another program), false when
// retrying cannot help (the file is missing or may not be read).
bool openFailureMayPass();

}  // namespace plat
