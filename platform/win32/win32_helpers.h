// Small helpers shared by the Win32 backends: entry points looked up at run
// time, and the system's text for an error number.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace plat::win32 {

// The entry point `name` of `module` (loaded when it is not yet), or null.
template <typename Fn>
Fn procAddress(const char* module, const char* name) {
  HMODULE m = GetModuleHandleA(module);
  if (!m) m = LoadLibraryA(module);
  FARPROC p = m ? GetProcAddress(m, name) : nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(p));
}

// The system's message for an error number, without its line end and
// final full stop; "error N" when there is none.
inline std::string errorText(DWORD code) {
  char buf[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buf,
                           sizeof buf, nullptr);
  std::string s(buf, n);
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' ' || s.back() == '.')) s.pop_back();
  if (s.empty()) s = "error " + std::to_string(code);
  return s;
}

}  // namespace plat::win32
