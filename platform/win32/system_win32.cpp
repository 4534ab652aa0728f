// Operating-system services for Windows. Entry points that older systems
// may lack (IsWow64Process, GetUserNameA from advapi32) are looked up at run
// time and the program carries on without them.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/console.h"
#include "platform/system.h"

namespace plat {

namespace {

template <typename Fn>
Fn procAddress(HMODULE module, const char* name) {
  FARPROC p = module ? GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(p));
}

bool validEnvName(const std::string& name) {
  return !name.empty() && name.find('=') == std::string::npos && name.find('\0') == std::string::npos;
}

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

LocalTime fromSystemTime(const SYSTEMTIME& st) {
  static const int before[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  LocalTime lt{};
  lt.year = st.wYear;
  lt.month = st.wMonth;
  lt.day = st.wDay;
  lt.hour = st.wHour;
  lt.minute = st.wMinute;
  lt.second = st.wSecond;
  lt.millisecond = st.wMilliseconds;
  lt.weekday = st.wDayOfWeek;
  int m = st.wMonth >= 1 && st.wMonth <= 12 ? st.wMonth : 1;
  lt.yearday = before[m - 1] + st.wDay + (m > 2 && isLeap(st.wYear) ? 1 : 0);
  return lt;
}

}  // namespace

std::string modulePath() {
  std::vector<char> buf(MAX_PATH + 1);
  for (int attempt = 0; attempt < 6; ++attempt) {
    DWORD n = GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return std::string(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
  return {};
}

std::vector<std::string> environment() {
  std::vector<std::string> out;
  char* block = GetEnvironmentStringsA();
  if (!block) return out;
  for (const char* p = block; *p; ) {
    std::string entry(p);
    p += entry.size() + 1;
    out.push_back(std::move(entry));
  }
  FreeEnvironmentStringsA(block);
  return out;
}

bool getEnv(const std::string& name, std::string& value) {
  if (!validEnvName(name)) return false;
  std::vector<char> buf(256);
  for (int attempt = 0; attempt < 4; ++attempt) {
    SetLastError(ERROR_SUCCESS);
    DWORD n = GetEnvironmentVariableA(name.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
      value.clear();
      return true;
    }
    if (n < buf.size()) {
      value.assign(buf.data(), n);
      return true;
    }
    buf.resize(n + 1);
  }
  return false;
}

bool setEnv(const std::string& name, const std::string& value) {
  if (!validEnvName(name) || value.find('\0') != std::string::npos) return false;
  // The C runtime keeps its own copy of the environment; keep both in step.
  _putenv_s(name.c_str(), value.c_str());
  return SetEnvironmentVariableA(name.c_str(), value.c_str()) != 0;
}

uint64_t tickMs() { return GetTickCount64(); }

void sleepMs(int64_t ms) {
  while (ms > 0) {
    DWORD slice = ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(ms);
    Sleep(slice);
    ms -= slice;
  }
}

LocalTime localTime() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return fromSystemTime(st);
}

LocalTime systemTime() {
  SYSTEMTIME st;
  GetSystemTime(&st);
  return fromSystemTime(st);
}

bool runShell(const std::string& commandLine, int& exitCode) {
  if (commandLine.find('\0') != std::string::npos) return false;
  std::string shell;
  if (!getEnv("COMSPEC", shell) || shell.empty()) shell = "cmd.exe";
  std::string line = shell + " /C " + commandLine;
  std::vector<char> buf(line.begin(), line.end());
  buf.push_back('\0');
  flushOut();
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  exitCode = GetExitCodeProcess(pi.hProcess, &code) ? static_cast<int>(code) : -1;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

std::string userName() {
  using GetUserNameFn = BOOL(WINAPI*)(LPSTR, LPDWORD);
  std::string name;
  if (HMODULE advapi = LoadLibraryA("advapi32.dll")) {
    if (auto fn = procAddress<GetUserNameFn>(advapi, "GetUserNameA")) {
      char buf[257];
      DWORD size = sizeof buf;
      if (fn(buf, &size) && size > 0) name.assign(buf, size - 1);
    }
    FreeLibrary(advapi);
  }
  if (name.empty()) getEnv("USERNAME", name);
  return name;
}

std::string hostName() {
  char buf[256];
  DWORD size = sizeof buf;
  if (GetComputerNameExA(ComputerNameDnsHostname, buf, &size) && size > 0) return std::string(buf, size);
  size = sizeof buf;
  if (GetComputerNameA(buf, &size) && size > 0) return std::string(buf, size);
  return {};
}

bool isWow64() {
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto fn = procAddress<IsWow64ProcessFn>(GetModuleHandleA("kernel32.dll"), "IsWow64Process");
  BOOL wow = FALSE;
  return fn && fn(GetCurrentProcess(), &wow) && wow;
}

int processId() { return static_cast<int>(GetCurrentProcessId()); }

}  // namespace plat
