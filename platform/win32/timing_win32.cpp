// Clocks, calendar conversion and the message pump for Windows. The
// multimedia timer comes from winmm.dll, loaded at run time; without it the
// tick count stands in.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <ctime>
#include <vector>

#include "platform/event_pump.h"
#include "platform/timing.h"
#include "platform/timing_common.h"

namespace plat {

namespace {

using TimeGetTimeFn = DWORD(WINAPI*)();

TimeGetTimeFn timeGetTimeEntry() {
  static TimeGetTimeFn fn = [] {
    HMODULE winmm = LoadLibraryA("winmm.dll");
    FARPROC p = winmm ? GetProcAddress(winmm, "timeGetTime") : nullptr;
    return reinterpret_cast<TimeGetTimeFn>(reinterpret_cast<void (*)()>(p));
  }();
  return fn;
}

bool localTm(int64_t seconds, tm& out) {
  __time64_t t = static_cast<__time64_t>(seconds);
  if (seconds < 0 || seconds > 32535215999LL) return false;  // the C runtime's range (to 3000-12-31)
  return _localtime64_s(&out, &t) == 0;
}

// The C runtime stops the program on a conversion it does not know, so
// only the ones it knows are handed to it; any other is kept as text.
std::string safeFormat(const std::string& format) {
  static const char known[] = "aAbBcdHIjmMpSUwWxXyYzZ%";
  std::string out;
  for (size_t i = 0; i < format.size(); i++) {
    char c = format[i];
    if (c == '\0') break;
    if (c != '%') {
      out += c;
      continue;
    }
    size_t j = i + 1;
    bool hash = j < format.size() && format[j] == '#';
    if (hash) j++;
    if (j < format.size() && format[j] != '\0' && std::char_traits<char>::find(known, sizeof known - 1, format[j])) {
      out.append(format, i, j - i + 1);
    } else {
      out += "%%";
      if (hash) out += '#';
      if (j < format.size() && format[j] != '\0') out += format[j];
    }
    i = j < format.size() ? j : format.size();
  }
  return out;
}

}  // namespace

uint32_t multimediaMs() {
  if (TimeGetTimeFn fn = timeGetTimeEntry()) return static_cast<uint32_t>(fn());
  return static_cast<uint32_t>(GetTickCount());
}

uint64_t monotonicUs() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    if (!QueryPerformanceFrequency(&f) || f.QuadPart == 0) f.QuadPart = 1000;
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  uint64_t ticks = static_cast<uint64_t>(now.QuadPart), f = static_cast<uint64_t>(freq.QuadPart);
  return ticks / f * 1000000u + ticks % f * 1000000u / f;
}

int64_t calendarSeconds() { return static_cast<int64_t>(_time64(nullptr)); }

uint64_t systemTimeMs() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  uint64_t t = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return (t - 116444736000000000ULL) / 10000u;
}

bool localTimeOf(int64_t seconds, LocalTime& out) {
  tm t{};
  if (!localTm(seconds, t)) return false;
  out = localTimeFromTm(t);
  return true;
}

bool formatLocalTime(int64_t seconds, const std::string& format, size_t maxChars, std::string& out) {
  out.clear();
  tm t{};
  if (!localTm(seconds, t)) return false;
  std::string fmt = safeFormat(format);
  if (fmt.empty()) return false;
  std::vector<char> buf(maxChars + 1);
  size_t n = strftime(buf.data(), buf.size(), fmt.c_str(), &t);
  if (n == 0) return false;
  out.assign(buf.data(), n);
  return true;
}

void pumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {  // WM_QUIT: leave it for the outer loop that owns it
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  runEventPumps();
}

}  // namespace plat
