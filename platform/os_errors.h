// The operating system's last error number, the message for an error
// number, and who the user is to the system.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

// The calling thread's last error number (0 when none was recorded).
int64_t lastOsError();
// The system's message for an error number, without a trailing line end.
std::string osErrorText(int64_t code);

// The user's security identifier as text ("S-1-..."); empty when unknown.
std::string userSid();

// 1 when the program's console (or terminal) is the active window, 0 when
// it is not or there is none.
int consoleIsActive();

}  // namespace plat
