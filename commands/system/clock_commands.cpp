// The clock command (times in several units, formatting, reading written
// dates, splitting seconds) and its companions now, is_leapyear and
// day_of_week.
#include <exception>
#include <limits>

#include "commands/system/date_numbers.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "platform/system.h"
#include "platform/timing.h"

namespace orvel {

namespace {

const uint64_t kStartMs = plat::tickMs();  // program start, for clock clicks

// A whole number: blanks, an optional sign, then at least one digit, and
// nothing but blanks after the digits.
bool strictInteger(std::string_view s, int64_t& out) {
  size_t i = 0, n = s.size();
  while (i < n && (s[i] == ' ' || s[i] == '\t')) i++;
  size_t signAt = i;
  if (i < n && (s[i] == '+' || s[i] == '-')) i++;
  size_t digitsAt = i;
  while (i < n && s[i] >= '0' && s[i] <= '9') i++;
  if (i == digitsAt || i - digitsAt > 18) return false;
  size_t end = i;
  while (i < n && (s[i] == ' ' || s[i] == '\t')) i++;
  if (i != n) return false;
  out = decimalInt64(s.substr(signAt, end - signAt));
  return true;
}

// Leading blanks, an optional sign and at least one digit.
bool startsWithInteger(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) i++;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) i++;
  return i < s.size() && s[i] >= '0' && s[i] <= '9';
}

const char* ordinalSuffix(int day) {
  if (day == 1 || day == 21 || day == 31) return "st";
  if (day == 2 || day == 22) return "nd";
  if (day == 3 || day == 23) return "rd";
  return "th";
}

// Replaces the program's own codes %o/%O (ordinal suffix), %D (day without
// a leading zero) and %N (month number); "%%" stays for the formatter.
std::string ownCodes(const std::string& fmt, const plat::LocalTime& t) {
  std::string out;
  for (size_t i = 0; i < fmt.size(); i++) {
    if (fmt[i] != '%' || i + 1 >= fmt.size()) {
      out += fmt[i];
      continue;
    }
    char c = fmt[i + 1];
    if (c == 'o' || c == 'O') out += ordinalSuffix(t.day);
    else if (c == 'D') out += std::to_string(t.day);
    else if (c == 'N') out += std::to_string(t.month);
    else {
      out += '%';
      out += c;
    }
    i++;
  }
  return out;
}

int clockFormat(Interp& in, Args& argv) {
  bool countOk = argv.size() == 3 || (argv.size() == 5 && equalsNoCase(argv[3], "-format"));
  bool now = argv.size() > 2 && equalsNoCase(argv[2], "now");
  int64_t seconds = 0;
  bool secondsOk = false;
  if (argv.size() > 2) {
    if (now) {
      seconds = plat::calendarSeconds();
      secondsOk = true;
    } else if (startsWithInteger(argv[2])) {
      seconds = decimalInt64(argv[2]);
      secondsOk = seconds >= 0;
    }
  }
  if (!countOk || !secondsOk)
    return fail(in, "clock: clock format <seconds|now> -format \"%%Y-%%m-%%dT%%H:%%M:%%S\"");
  std::string fmt = argv.size() == 5 ? argv[4] : std::string();
  if (fmt.empty()) fmt = "%a %b %d %H:%M:%S %Y";
  in.result.clear();
  plat::LocalTime t{};
  if (!plat::localTimeOf(seconds, t)) return OK;
  std::string out;
  plat::formatLocalTime(seconds, ownCodes(fmt, t), 128, out);
  in.result = out;
  return OK;
}

int clockScan(Interp& in, Args& argv) {
  if (argv.size() < 3) return fail(in, "clock scan: <date-string>");
  std::string text;
  for (size_t i = 2; i < argv.size(); i++) {
    if (i > 2) text += ' ';
    text += argv[i];
  }
  int64_t seconds = 0;
  int64_t code = scanDateText(text, plat::localTime().year, seconds);
  if (code != 0) {
    in.result.clear();
    return fail(in, "clock scan: Error %li in date %s'", static_cast<long>(code), argv[2].c_str());
  }
  in.result = intText(seconds);
  return OK;
}

int clockSplit(Interp& in, Args& argv) {
  auto failSplit = [&]() {
    in.result.clear();
    return fail(in, "%s %s: Error", argv[0].c_str(), "split");
  };
  if (argv.size() > 7) return wrongNumArgs(in, argv);
  if (argv.size() < 4) return failSplit();
  int64_t seconds = 0;
  if (!startsWithInteger(argv[2])) return failSplit();
  seconds = decimalInt64(argv[2]);
  if (seconds < 0) return failSplit();
  const int64_t parts[4] = {seconds / 86400, seconds % 86400 / 3600, seconds % 3600 / 60, seconds % 60};
  size_t names = argv.size() - 3;
  int64_t set = 0;
  for (size_t k = 0; k < names; k++) {
    const std::string& name = argv[3 + k];
    if (!name.empty() && name[0] == '-') {
      if (k == 3 || k + 1 == names) return failSplit();
      continue;
    }
    if (orvelGetVar(in, name)) {
      in.result.clear();
      return fail(in, "%s: Variable '%s' already exists", "clock split", name.c_str());
    }
    int code = set_var(in, name, intText(parts[k]));
    if (code != OK) return code;
    set++;
  }
  in.result = intText(set);
  return OK;
}

int clockCommand(Interp& in, Args& argv) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string& sub = argv[1];
  if (equalsNoCase(sub, "seconds")) {
    in.result = intText(plat::calendarSeconds());
    return OK;
  }
  if (equalsNoCase(sub, "milliseconds")) {
    in.result = uintText(plat::systemTimeMs());
    return OK;
  }
  if (equalsNoCase(sub, "clicks")) {
    in.result = intText(static_cast<int64_t>(plat::tickMs() - kStartMs));
    return OK;
  }
  if (equalsNoCase(sub, "format")) return clockFormat(in, argv);
  if (equalsNoCase(sub, "scan")) return clockScan(in, argv);
  if (equalsNoCase(sub, "split")) return clockSplit(in, argv);
  return fail(in, "clock: clock clicks|seconds|milliseconds|format seconds");
}

int orvelCommandClock(Interp& in, Args& argv, void*) {
  try {
    return clockCommand(in, argv);
  } catch (const std::exception& e) {
    reportException("orvelCommandClock", e.what());
  } catch (...) {
    reportException("orvelCommandClock", nullptr);
  }
  return ERROR;
}

int orvelCommandNow(Interp& in, Args& argv, void*) {
  if (argv.size() > 1 && argv[1] == "-ctime") {
    in.result = intText(plat::calendarSeconds());
    return OK;
  }
  plat::LocalTime t = plat::localTime();
  double number = static_cast<double>(dayNumber(t.year, t.month, t.day)) +
                  static_cast<double>(t.hour * 3600 + t.minute * 60 + t.second) / 86400.0;
  in.result = strprintf("%.15f", number);
  return OK;
}

int orvelCommandIsLeapyear(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  int64_t year = 0;
  if (!strictInteger(argv[1], year)) return fail(in, "%s: Invalid argument", argv[0].c_str());
  in.result = isLeapYear(year) ? "1" : "0";
  return OK;
}

int orvelCommandDayOfWeek(Interp& in, Args& argv, void*) {
  if (argv.size() < 4) return wrongNumArgs(in, argv);
  int dow = dayOfWeek(decimalInt64(argv[1]), decimalInt64(argv[2]), decimalInt64(argv[3]));
  if (dow < 0) return fail(in, "%s: Invalid argument", argv[0].c_str());
  in.result = intText(dow);
  return OK;
}

const CommandRegistrar kRegistrations[] = {
    {"clock", orvelCommandClock},
    {"now", orvelCommandNow},
    {"is_leapyear", orvelCommandIsLeapyear},
    {"day_of_week", orvelCommandDayOfWeek},
};

}  // namespace

}  // namespace orvel
