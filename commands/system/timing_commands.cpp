// Waiting, measuring time and keeping windows responsive: sleep, timer,
// time, doevents, after and vwait. Everything runs on the calling thread.
#include <cmath>
#include <cstdlib>
#include <limits>

#include "commands/system/date_numbers.h"
#include "expr/numbers.h"
#include "interp/interp.h"
#include "interp/process_state.h"
#include "platform/console.h"
#include "platform/system.h"
#include "platform/timing.h"

namespace orvel {

namespace {

// The longest wait a single command accepts: the system's longest finite
// sleep (2^32 - 2 ms, about 49.7 days).
constexpr uint64_t kMaxWaitMs = 0xFFFFFFFEull;

// An unsigned decimal: digits only (leading blanks and a '+' allowed).
bool unsignedDecimal(std::string_view s, uint64_t& out) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) i++;
  if (i < s.size() && s[i] == '+') i++;
  if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
  uint64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; i++) {
    if (v > (std::numeric_limits<uint64_t>::max() - 9) / 10) return false;
    v = v * 10 + static_cast<uint64_t>(s[i] - '0');
  }
  out = v;
  return true;
}

// A plain number: optional sign, digits with at most one point, optional
// exponent; nothing else.
bool isPlainNumber(std::string_view s) {
  size_t i = 0, n = s.size();
  while (i < n && (s[i] == ' ' || s[i] == '\t')) i++;
  if (i < n && (s[i] == '+' || s[i] == '-')) i++;
  bool digits = false, point = false;
  for (; i < n; i++) {
    if (s[i] >= '0' && s[i] <= '9') digits = true;
    else if (s[i] == '.' && !point) point = true;
    else break;
  }
  if (!digits) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < n && (s[j] == '+' || s[j] == '-')) j++;
    if (j >= n || s[j] < '0' || s[j] > '9') return false;
    while (j < n && s[j] >= '0' && s[j] <= '9') j++;
    i = j;
  }
  while (i < n && (s[i] == ' ' || s[i] == '\t')) i++;
  return i == n;
}

// Sleeps ms in slices so that a long wait is still one call of the system.
void sleepFor(uint64_t ms) { plat::sleepMs(static_cast<int64_t>(ms)); }

int orvelCommandSleep(Interp& in, Args& argv, void*) {
  if (argv.size() != 2) return wrongNumArgs(in, argv);
  uint64_t ms = 0;
  const std::string& w = argv[1];
  bool numeric = unsignedDecimal(w, ms);
  if (!numeric) {
    // A negative count would wait for ever; any other text waits 0 ms.
    size_t i = w.find_first_not_of(" \t");
    if (i != std::string::npos && w[i] == '-' && i + 1 < w.size() && w[i + 1] >= '0' && w[i + 1] <= '9')
      return fail(in, "%s: Invalid time value '%s'", argv[0].c_str(), w.c_str());
    ms = 0;
  }
  if (ms > kMaxWaitMs) return fail(in, "%s: Time value '%s' is out of range", argv[0].c_str(), w.c_str());
  sleepFor(ms);
  in.result = "1";
  return OK;
}

int orvelCommandTimer(Interp& in, Args&, void*) {
  in.result = uintText(plat::multimediaMs());
  return OK;
}

int orvelCommandDoevents(Interp& in, Args& argv, void*) {
  bool sleep = false;
  int64_t count = 1;
  bool haveCount = false;
  for (size_t i = 1; i < argv.size(); i++) {
    if (argv[i] == "-sleep") {
      sleep = true;
    } else if (!haveCount && i == 1) {
      count = toInt64(argv[i]);
      haveCount = true;
    }
  }
  if (count > std::numeric_limits<int32_t>::max())
    return fail(in, "%s: Count '%s' is out of range", argv[0].c_str(), argv[1].c_str());
  for (int64_t i = 0; i < count; i++) {
    plat::pumpMessages();
    if (sleep) plat::sleepMs(10);
  }
  in.result.clear();
  return OK;
}

// Joins words into one script: single spaces, words holding a space or a
// tab wrapped in braces.
std::string joinScript(const Args& argv, size_t from) {
  std::string s;
  for (size_t i = from; i < argv.size(); i++) {
    if (i > from) s += ' ';
    if (argv[i].find_first_of(" \t") != std::string::npos) s += "{" + argv[i] + "}";
    else s += argv[i];
  }
  return s;
}

int orvelCommandAfter(Interp& in, Args& argv, void*) {
  if (argv.size() < 3) return wrongNumArgs(in, argv);
  int64_t ms = toInt64(argv[1]);
  if (ms < 0) ms = 0;
  if (static_cast<uint64_t>(ms) > kMaxWaitMs)
    return fail(in, "%s: Time value '%s' is out of range", argv[0].c_str(), argv[1].c_str());
  std::string script = joinScript(argv, 2);
  sleepFor(static_cast<uint64_t>(ms));
  return orvelEval(in, script);
}

bool assignedVar(Interp& in, const std::string& name) {
  Var* v = orvelGetVar(in, name);
  return v && v->assigned;
}

int orvelCommandVwait(Interp& in, Args& argv, void*) {
  if (argv.size() < 2) return wrongNumArgs(in, argv);
  const std::string name = argv[1];
  int64_t timeout = argv.size() > 2 ? toInt64(argv[2]) : 0;
  Var* v = orvelGetVar(in, name);
  if (v && v->assigned) {
    in.result = "1";
    return OK;
  }
  if (v) v->assigned = false;
  uint32_t start = plat::multimediaMs();
  for (;;) {
    plat::sleepMs(10);
    plat::pumpMessages();
    if (assignedVar(in, name)) break;
    if (timeout > 0 && static_cast<int64_t>(static_cast<uint32_t>(plat::multimediaMs() - start)) > timeout) break;
  }
  in.result = "1";
  return OK;
}

// ---- time

std::string twoDigits(int v) { return strprintf("%2.2i", v); }

int timeNow(Interp& in, bool ctime, bool noSeconds, char separator) {
  if (ctime) {
    in.result = intText(plat::calendarSeconds());
    return OK;
  }
  plat::LocalTime t = plat::localTime();
  std::string s = twoDigits(t.hour) + separator + twoDigits(t.minute);
  if (!noSeconds) s += separator + twoDigits(t.second);
  in.result = s;
  return OK;
}

int timeScript(Interp& in, Args& argv, const std::vector<size_t>& plain, bool info, bool quiet) {
  const std::string script = argv[plain[0]];
  int64_t count = plain.size() > 1 ? decimalInt64(argv[plain[1]]) : 1;
  if (count < 1) return OK;
  if (count > std::numeric_limits<int32_t>::max())
    return fail(in, "%s: Count '%s' is out of range", argv[0].c_str(), argv[plain[1]].c_str());
  PreparedScript prepared(script);
  uint32_t startMs = plat::multimediaMs();
  uint64_t startUs = plat::monotonicUs();
  int code = OK;
  for (int64_t i = 0; i < count; i++) {
    code = prepared.eval(in);
    if (code != OK) break;
  }
  uint64_t elapsedUs = plat::monotonicUs() - startUs;
  uint32_t endMs = plat::multimediaMs();
  if (info) {
    const char* name = codeName(in, code);
    plat::writeOut(strprintf("Exit code:%i (%s) start:%lu ms end:%lu ms diff:%li ms iters:%i\r\n", code, name,
                             static_cast<unsigned long>(startMs), static_cast<unsigned long>(endMs),
                             static_cast<long>(static_cast<uint32_t>(endMs - startMs)), static_cast<int>(count)));
  }
  int64_t perRun = std::llround(static_cast<double>(elapsedUs) / static_cast<double>(count));
  if (!quiet || (ps().echo && ps().verbose))
    plat::writeOut(strprintf("%li microsecond(s) per iteration\r\n", static_cast<long>(perRun)));
  in.result = intText(perRun);
  return code;
}

int timeOfDateNumber(Interp& in, Args& argv, const std::string& arg, bool ctime) {
  double number = textToDouble(arg);
  if (ctime) {
    if (number < kUnixEpochDay)
      return fail(in, "time: Invalid C epoch time: %f < 25569", number);
    double secs = dateNumberSeconds(number);
    if (!(secs < 9.2e18)) return fail(in, "time: Date number '%s' is out of range", arg.c_str());
    in.result = intText(static_cast<int64_t>(secs));
    return OK;
  }
  double whole;
  double fraction = std::fabs(std::modf(number, &whole));
  int64_t secs = static_cast<int64_t>(fraction * 86400.1);
  int h = static_cast<int>(secs / 3600), m = static_cast<int>(secs % 3600 / 60), s = static_cast<int>(secs % 60);
  if (h > 23) {
    int code = fail(in, "%s: Time value in '%f' -> %2.2i:%2.2i:%2.2i is out of range", argv[0].c_str(), number, h,
                    m, s);
    in.result = "0.0";
    return code;
  }
  in.result = strprintf("%2.2i:%2.2i:%2.2i", h, m, s);
  return OK;
}

int orvelCommandTime(Interp& in, Args& argv, void*) {
  bool hyphen = false, ctime = false, noSeconds = false, info = false, quiet = false;
  char separator = ':';
  std::vector<size_t> plain;
  for (size_t i = 1; i < argv.size(); i++) {
    const std::string& w = argv[i];
    if (w == "-hyphen") {
      hyphen = true;
      separator = '-';
    } else if (w == "-ctime") {
      ctime = true;
    } else if (w == "-noseconds") {
      noSeconds = true;
    } else if (w == "-separator") {
      if (i + 1 < argv.size()) {
        separator = argv[i + 1].empty() ? ':' : argv[i + 1][0];
        i++;
      }
    } else if (w == "-info") {
      info = true;
    } else if (w == "-quiet") {
      quiet = true;
    } else {
      plain.push_back(i);
    }
  }
  (void)hyphen;
  if (plain.empty()) return timeNow(in, ctime, noSeconds, separator);
  const std::string& first = argv[plain[0]];
  if (isClockText(first)) {
    double fraction;
    if (!clockTextFraction(first, fraction)) {
      int code = fail(in, "%s: Invalid time value '%s'", argv[0].c_str(), first.c_str());
      in.result = "0";
      return code;
    }
    in.result = strprintf("%.6f", fraction);
    return OK;
  }
  if (!isPlainNumber(first)) return timeScript(in, argv, plain, info, quiet);
  return timeOfDateNumber(in, argv, first, ctime);
}

const CommandRegistrar kRegistrations[] = {
    {"sleep", orvelCommandSleep},   {"timer", orvelCommandTimer}, {"time", orvelCommandTime},
    {"doevents", orvelCommandDoevents}, {"after", orvelCommandAfter}, {"vwait", orvelCommandVwait},
};

}  // namespace

}  // namespace orvel
