// Error numbers and messages, the user's security identifier and the active
// console window (Windows). GetConsoleWindow is looked up at run time.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "platform/os_errors.h"

namespace plat {

int64_t lastOsError() { return static_cast<int64_t>(GetLastError()); }

std::string osErrorText(int64_t code) {
  if (code < 0 || code > 0xFFFFFFFFLL) return "Unknown error " + std::to_string(code);
  char buf[1024];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(code), 0, buf, sizeof buf, nullptr);
  std::string s(buf, n);
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ')) s.pop_back();
  if (s.empty()) s = "Unknown error " + std::to_string(code);
  return s;
}

std::string userSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::string text;
  if (size > 0 && size < 65536) {
    std::vector<unsigned char> buf(size);
    if (GetTokenInformation(token, TokenUser, buf.data(), size, &size)) {
      char* s = nullptr;
      if (ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buf.data())->User.Sid, &s) && s) {
        text = s;
        LocalFree(s);
      }
    }
  }
  CloseHandle(token);
  return text;
}

int consoleIsActive() {
  using GetConsoleWindowFn = HWND(WINAPI*)();
  HMODULE k = GetModuleHandleA("kernel32.dll");
  static auto getConsoleWindow = reinterpret_cast<GetConsoleWindowFn>(
      reinterpret_cast<void (*)()>(k ? GetProcAddress(k, "GetConsoleWindow") : nullptr));
  HWND console = getConsoleWindow ? getConsoleWindow() : nullptr;
  if (!console) return 0;
  return GetForegroundWindow() == console ? 1 : 0;
}

}  // namespace plat
