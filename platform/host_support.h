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

// After plat::netStartup (net.h) failed: the socket library's own error
// number for the failure (0 where there is no such library).
int socketStartupError();

// Clears the small and large icons of the console window that carries the
// given title (nothing to do where the console has no window of its own).
void clearConsoleWindowIcons(const std::string& title);

// After a failed fopen: true when the failure may pass if the open is tried
// again (a file held open without sharing by another program), false when
// retrying cannot help (the file is missing or may not be read).
bool openFailureMayPass();

}  // namespace plat
