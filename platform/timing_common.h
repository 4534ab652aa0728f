// Shared by the timing backends: a broken-down C time as this layer's
// LocalTime (leap seconds folded into second 59).
#pragma once
#include <ctime>

#include "platform/system.h"

namespace plat {

inline LocalTime localTimeFromTm(const std::tm& t) {
  LocalTime out{};
  out.year = t.tm_year + 1900;
  out.month = t.tm_mon + 1;
  out.day = t.tm_mday;
  out.hour = t.tm_hour;
  out.minute = t.tm_min;
  out.second = t.tm_sec > 59 ? 59 : t.tm_sec;
  out.weekday = t.tm_wday;
  out.yearday = t.tm_yday + 1;
  return out;
}

}  // namespace plat
