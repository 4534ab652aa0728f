// Operating-system services other than the console.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

std::string modulePath();                    // full path of the running program
std::vector<std::string> environment();      // NAME=value entries of the process
bool getEnv(const std::string& name, std::string& value);
bool setEnv(const std::string& name, const std::string& value);

uint64_t tickMs();                           // monotonic milliseconds
void sleepMs(int64_t ms);

struct LocalTime {
  int year, month, day, hour, minute, second, millisecond, weekday, yearday;
};
LocalTime localTime();
LocalTime systemTime();                      // UTC

// Runs a command line through the system shell (COMSPEC /C on Windows,
// /bin/sh -c elsewhere) with the console inherited. Returns false when the
// process could not be started; exitCode receives its exit status.
bool runShell(const std::string& commandLine, int& exitCode);

std::string userName();
std::string hostName();
bool isWow64();
int processId();

}  // namespace plat

namespace plat {
// Runs fn(arg) on a thread with a stack of the given size and waits for it
// (thread_*.cpp). Falls back to calling fn directly when no thread can be made.
void runWithLargeStack(size_t bytes, void (*fn)(void*), void* arg);
}  // namespace plat
