// Clocks and calendar conversion for POSIX systems. There is no window
// message queue here: the message pump only runs the plug-ins' pumps.
#include <time.h>

#include <climits>
#include <vector>

#include "platform/event_pump.h"
#include "platform/timing.h"
#include "platform/timing_common.h"

namespace plat {

uint32_t multimediaMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

uint64_t monotonicUs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

int64_t calendarSeconds() { return static_cast<int64_t>(time(nullptr)); }

uint64_t systemTimeMs() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
}

namespace {
bool localTm(int64_t seconds, tm& out) {
  if (seconds > static_cast<int64_t>(LLONG_MAX / 2) || seconds < -static_cast<int64_t>(LLONG_MAX / 2)) return false;
  time_t t = static_cast<time_t>(seconds);
  return localtime_r(&t, &out) != nullptr;
}
}  // namespace

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
  std::vector<char> buf(maxChars + 1);
  size_t n = strftime(buf.data(), buf.size(), format.c_str(), &t);
  if (n == 0) return false;
  out.assign(buf.data(), n);
  return true;
}

void pumpMessages() { runEventPumps(); }

}  // namespace plat
