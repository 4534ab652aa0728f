// Clocks, calendar conversion and the message pump of the waiting commands.
#pragma once
#include <cstdint>
#include <string>

#include "platform/system.h"

namespace plat {

// The multimedia millisecond timer: milliseconds since the system started,
// wrapping at 2^32.
uint32_t multimediaMs();
// A fine monotonic clock for measuring short runs, in microseconds.
uint64_t monotonicUs();

// Calendar time: seconds since 1970-01-01 00:00:00 UTC.
int64_t calendarSeconds();
// The system (UTC) time in milliseconds since 1970-01-01.
uint64_t systemTimeMs();

// The local calendar time of a count of seconds since 1970. False when the
// count cannot be shown as a local time (out of the system's range).
bool localTimeOf(int64_t seconds, LocalTime& out);
// Formats the local time of seconds with the standard time conversions
// into at most maxChars characters. False when the conversion fails (the
// output is then empty).
bool formatLocalTime(int64_t seconds, const std::string& format, size_t maxChars, std::string& out);

// Runs the message pump once: the thread's window messages where the
// system has a queue for them, then the event pumps of loaded plug-ins.
void pumpMessages();

}  // namespace plat
