// Date commands: today's date, calendar dates as date numbers, conversions
// between date numbers (days since 1899-12-30) and seconds since 1970, and
// date tests.
#include <cmath>
#include <cstdio>
#include <ctime>

#include "commands/system/date_numbers.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "platform/system.h"

namespace orvel {

namespace {

bool needNumber(Interp& in, Args& argv, size_t i) {
  if (numberKind(argv[i]) != kNotNumber) return true;
  fail(in, "%s: Expected a number but got '%s'", argv[0].c_str(), argv[i].c_str());
  return false;
}

int64_t daysInMonth(int64_t year, int64_t month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && isLeapYear(year)) return 29;
  return days[month - 1];
}

bool validDate(int64_t y, int64_t m, int64_t d) {
  return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

// Reads "YYYY-MM-DD" with an optional "Thh:mm:ss" or " hh:mm:ss" (a
// trailing "Z" is allowed) into a date number; false for anything else.
bool isoDateNumber(std::string_view s, double& out) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0, used = 0;
  std::string text(s);
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &y, &mo, &d, &used) != 3 || used != 10) return false;
  if (!validDate(y, mo, d)) return false;
  size_t pos = 10;
  if (pos < text.size()) {
    if (text[pos] != 'T' && text[pos] != ' ') return false;
    int used2 = 0;
    if (std::sscanf(text.c_str() + pos + 1, "%2d:%2d:%2d%n", &h, &mi, &se, &used2) != 3 || used2 != 8) return false;
    pos += 1 + 8;
    if (pos < text.size() && text.substr(pos) != "Z") return false;
    if (h > 23 || mi > 59 || se > 59 || h < 0 || mi < 0 || se < 0) return false;
  }
  out = static_cast<double>(dayNumber(y, mo, d)) + (h * 3600 + mi * 60 + se) / 86400.0;
  return true;
}

// date: today's local date as YYYY-MM-DD.
int orvelCommandDate(Interp& in, Args& argv, void*) {
  if (argv.size() != 1) return wrongNumArgs(in, argv);
  plat::LocalTime t = plat::localTime();
  in.result = strprintf("%04d-%02d-%02d", t.year, t.month, t.day);
  return OK;
}

// dateserial YEAR MONTH DAY: the date number of a calendar date.
int orvelCommandDateserial(Interp& in, Args& argv, void*) {
  if (argv.size() != 4) return wrongNumArgs(in, argv);
  for (size_t i = 1; i < 4; i++)
    if (!needNumber(in, argv, i)) return ERROR;
  int64_t y = toInt64(argv[1]), m = toInt64(argv[2]), d = toInt64(argv[3]);
  if (!validDate(y, m, d))
    return fail(in, "%s: Invalid date %s/%s/%s", argv[0].c_str(), argv[1].c_str(), argv[2].c_str(), argv[3].c_str());
  in.result = intText(dayNumber(y, static_cast<int>(m), d));
  return OK;
}

// The date number of a date text (written date, or ISO form with time).
bool dateOfText(std::string_view s, double& out) {
  if (isoDateNumber(s, out)) return true;
  // A text in the numeric year-month-day form that the strict reading
  // refused names a day that does not exist (2023-02-30).
  int y = 0, m = 0, d = 0;
  if (std::sscanf(std::string(s).c_str(), "%4d-%2d-%2d", &y, &m, &d) == 3 && s.size() >= 10 && s[4] == '-')
    return false;
  double n = dateTextToNumber(s);
  if (n == kNotADate) return false;
  out = n;
  return true;
}

// is_date TEXT: 1 when the text is a valid date.
int orvelCommandIsDate(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  double n = 0;
  in.result = dateOfText(argv[1], n) ? "1" : "0";
  return OK;
}

// date_to_ctime DATE: seconds since 1970 of a date text.
int orvelCommandDateToCtime(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  double n = 0;
  if (!dateOfText(argv[1], n)) return fail(in, "%s: Invalid date '%s'", argv[0].c_str(), argv[1].c_str());
  in.result = intText(static_cast<int64_t>(std::floor(dateNumberSeconds(n))));
  return OK;
}

// double_to_ctime NUMBER: seconds since 1970 of a date number.
int orvelCommandDoubleToCtime(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  if (!needNumber(in, argv, 1)) return ERROR;
  double n = textToDouble(argv[1]);
  if (n < 0 || n > 2958466.0) return fail(in, "%s: Date number out of range '%s'", argv[0].c_str(), argv[1].c_str());
  in.result = intText(static_cast<int64_t>(std::floor(dateNumberSeconds(n))));
  return OK;
}

// ctime_to_double SECONDS: the date number of seconds since 1970.
int orvelCommandCtimeToDouble(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  if (!needNumber(in, argv, 1)) return ERROR;
  double secs = textToDouble(argv[1]);
  if (std::fabs(secs) > 2.5e11) return fail(in, "%s: Time out of range '%s'", argv[0].c_str(), argv[1].c_str());
  in.result = realResultText(secs / 86400.0 + kUnixEpochDay);
  return OK;
}

// iso_to_double TEXT: the date number of YYYY-MM-DD[Thh:mm:ss].
int orvelCommandIsoToDouble(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  double n = 0;
  if (!isoDateNumber(argv[1], n)) return fail(in, "%s: Invalid ISO date '%s'", argv[0].c_str(), argv[1].c_str());
  in.result = realResultText(n);
  return OK;
}

// is_dst ?SECONDS?: 1 when daylight-saving time is in force locally now (or
// at the given time since 1970).
int orvelCommandIsDst(Interp& in, Args& argv, void*) {
  if (argv.size() > 2) return wrongNumArgs(in, argv);
  std::time_t when = std::time(nullptr);
  if (argv.size() == 2) {
    if (!needNumber(in, argv, 1)) return ERROR;
    when = static_cast<std::time_t>(toInt64(argv[1]));
  }
  std::tm tmv{};
  std::tm* got = std::localtime(&when);
  if (!got) return fail(in, "%s: Time out of range '%s'", argv[0].c_str(), argv.size() == 2 ? argv[1].c_str() : "");
  tmv = *got;
  in.result = tmv.tm_isdst > 0 ? "1" : "0";
  return OK;
}

const CommandRegistrar reg[] = {
    {"date", orvelCommandDate},
    {"dateserial", orvelCommandDateserial},
    {"is_date", orvelCommandIsDate},
    {"date_to_ctime", orvelCommandDateToCtime},
    {"double_to_ctime", orvelCommandDoubleToCtime},
    {"ctime_to_double", orvelCommandCtimeToDouble},
    {"iso_to_double", orvelCommandIsoToDouble},
    {"is_dst", orvelCommandIsDst},
};

}  // namespace

}  // namespace orvel
