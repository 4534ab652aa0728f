// Date numbers, clock texts and the reading of written dates.
#include "commands/system/date_numbers.h"

#include <cmath>
#include <vector>

#include "expr/numbers.h"

namespace orvel {

namespace {

const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool isDigitChar(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!isDigitChar(c)) return false;
  return true;
}

// Fields between delimiters; runs of delimiters make no empty fields.
std::vector<std::string> fields(std::string_view text, std::string_view delims) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && delims.find(text[i]) != std::string_view::npos) i++;
    size_t start = i;
    while (i < text.size() && delims.find(text[i]) == std::string_view::npos) i++;
    if (i > start) out.emplace_back(text.substr(start, i - start));
  }
  return out;
}

void stripTrailingPunct(std::string& s) {
  while (!s.empty() && (s.back() == '.' || s.back() == ',')) s.pop_back();
}

int64_t widenYear(int64_t y) {
  if (y >= 0 && y < 100) return y >= 50 ? 1900 + y : 2000 + y;
  return y;
}

int64_t fieldValue(std::string_view s) { return decimalInt64(s); }

}  // namespace

bool isLeapYear(int64_t year) {
  if (year >= 1582) return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return year % 4 == 0;
}

bool isClockText(std::string_view s) {
  if (s.empty() || s.size() > 9 || s[0] == ':') return false;
  int colons = 0;
  for (char c : s) {
    if (c == ':') colons++;
    else if (!isDigitChar(c)) return false;
  }
  return colons == 1 || colons == 2;
}

bool clockTextFraction(std::string_view s, double& fraction) {
  if (!isClockText(s)) return false;
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); i++) {
    if (i == s.size() || s[i] == ':') {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  int64_t h = fieldValue(parts[0]);
  int64_t m = parts.size() > 1 ? fieldValue(parts[1]) : 0;
  int64_t sec = parts.size() > 2 ? fieldValue(parts[2]) : 0;
  if (h < 0 || h > 23 || m < 0 || m > 59 || sec < 0 || sec > 59) return false;
  fraction = static_cast<double>(h * 3600 + m * 60 + sec) / 86400.0;
  return true;
}

int monthOfName(std::string_view word) {
  if (word.size() < 3) return 0;
  for (int m = 0; m < 12; m++) {
    bool same = true;
    for (int i = 0; i < 3 && same; i++) {
      char a = word[static_cast<size_t>(i)], b = kMonths[m][i];
      if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
      if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
      same = a == b;
    }
    if (same) return m + 1;
  }
  return 0;
}

const char* monthAbbrev(int month) { return month >= 1 && month <= 12 ? kMonths[month - 1] : ""; }

int64_t dayNumber(int64_t year, int month, int64_t day) {
  static const int before[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  int64_t y1 = year - 1;
  int64_t n = day + 365 * year + before[month - 1] + (month > 2 && isLeapYear(year) ? 1 : 0);
  // Integer division as the count is defined: towards zero.
  n += y1 / 400 + y1 / 4 - y1 / 100;
  return n - 693959;
}

double dateTextToNumber(std::string_view text) {
  std::string t(text);
  if (t.size() == 8 && t.find('/') == std::string::npos && t.find('-') == std::string::npos)
    t = t.substr(0, 4) + "-" + t.substr(4, 2) + "-" + t.substr(6, 2);
  std::vector<std::string> f = fields(t, "/");
  if (f.size() < 2) f = fields(t, "-");
  if (f.size() < 3) return kNotADate;
  size_t l0 = f[0].size(), l1 = f[1].size(), l2 = f[2].size();
  bool smallFirst = l0 >= 1 && l0 <= 2;
  int64_t year, day;
  int month;
  bool yearFirst;
  if (l0 == 4 && (l1 == 1 || l1 == 2) && l2 >= 1 && l2 <= 2) {
    if (!allDigits(f[0]) || !allDigits(f[1]) || !allDigits(f[2])) return kNotADate;
    year = fieldValue(f[0]);
    month = static_cast<int>(fieldValue(f[1]));
    day = fieldValue(f[2]);
    yearFirst = true;
  } else if (l0 == 4 && l1 == 3 && l2 >= 1 && l2 <= 2) {
    if (!allDigits(f[0]) || !allDigits(f[2])) return kNotADate;
    year = fieldValue(f[0]);
    month = monthOfName(f[1]);
    day = fieldValue(f[2]);
    yearFirst = true;
  } else if (smallFirst && (l1 == 1 || l1 == 2) && l2 == 4) {
    if (!allDigits(f[0]) || !allDigits(f[1]) || !allDigits(f[2])) return kNotADate;
    day = fieldValue(f[0]);
    month = static_cast<int>(fieldValue(f[1]));
    year = fieldValue(f[2]);
    yearFirst = false;
  } else if (smallFirst && l1 == 3 && l2 == 4) {
    if (!allDigits(f[0]) || !allDigits(f[2])) return kNotADate;
    day = fieldValue(f[0]);
    month = monthOfName(f[1]);
    year = fieldValue(f[2]);
    yearFirst = false;
  } else {
    return kNotADate;
  }
  (void)yearFirst;  // both shapes refuse a day outside 1 to 31
  if (month < 1 || month > 12 || day < 1 || day > 31) return kNotADate;
  return static_cast<double>(dayNumber(year, month, day));
}

double dateNumberSeconds(double number) { return (number + 0.000000002 - kUnixEpochDay) * 86400.0; }

int64_t scanDateText(std::string_view input, int64_t currentYear, int64_t& seconds) {
  seconds = 0;
  if (input.empty()) return 6;
  int64_t slashes = 0;
  for (char c : input)
    if (c == '/') slashes++;
  std::string text;
  for (char c : input) {
    if (c == '\t') c = ' ';
    if (c == ' ' && !text.empty() && text.back() == ' ') continue;
    text += c;
  }
  std::string datePart = text, timePart;
  bool haveTime = false;
  size_t colon = text.find(':');
  if (colon != std::string::npos) {
    size_t blank = text.rfind(' ', colon);
    if (blank != std::string::npos && blank > 0) {
      datePart = text.substr(0, blank);
      timePart = text.substr(blank + 1);
      haveTime = true;
    }
  }
  if (slashes >= 3) return 1;
  std::vector<std::string> f = fields(datePart, slashes > 0 ? "/: \t" : " \t:");
  if (f.empty()) return 6;
  std::string normal;
  if (slashes > 0) {
    int64_t year;
    if (slashes == 2) {
      if (f.size() < 3) return 4;
      year = widenYear(fieldValue(f[2]));
    } else {
      year = currentYear;
    }
    if (f.size() >= 2) {
      stripTrailingPunct(f[0]);
      stripTrailingPunct(f[1]);
      if (int m = monthOfName(f[1])) {
        int64_t day = fieldValue(f[0]);
        if (day < 0 || day > 31) return 2;
        normal = std::to_string(year) + "/" + monthAbbrev(m) + "/" + std::to_string(day);
      } else {
        int64_t month = fieldValue(f[0]);
        if (month < 0 || month > 12) return 3;
        int64_t day = fieldValue(f[1]);
        if (day < 0 || day > 31) return 2;
        normal = std::to_string(year) + "/" + f[0] + "/" + f[1];
      }
    }
  } else {
    int64_t year = currentYear;
    if (f.size() >= 3) {
      stripTrailingPunct(f[2]);
      year = widenYear(fieldValue(f[2]));
      if (year < 1970 || year > 2038) return 1;
    }
    if (f.size() >= 2) {
      stripTrailingPunct(f[0]);
      stripTrailingPunct(f[1]);
      int64_t day;
      int m = monthOfName(f[0]);
      if (m) {
        day = fieldValue(f[1]);
        if (day < 0 || day > 31) return 2;
      } else {
        day = fieldValue(f[0]);
        if (day < 0 || day > 31) return 2;
        m = monthOfName(f[1]);
        if (!m) return 3;
      }
      normal = std::to_string(year) + "/" + monthAbbrev(m) + "/" + std::to_string(day);
    }
  }
  double number = normal.empty() ? kNotADate : dateTextToNumber(normal);
  if (number == kNotADate) return 5;
  double fraction;
  if (haveTime && clockTextFraction(timePart, fraction)) number += number < 0 ? -fraction : fraction;
  double secs = std::trunc(dateNumberSeconds(number));
  if (!(secs > 0)) secs = 0;
  if (secs > 9.0e18) secs = 9.0e18;
  seconds = static_cast<int64_t>(secs);
  return 0;
}

namespace {
int centuryCode(int64_t year) {
  int64_t c = year / 100;
  if (year < 2400) {
    switch (c) {
      case 10: case 14: case 18: case 22: return 2;
      case 12: case 16: case 20: return 6;
      case 13: case 17: case 21: return 4;
      default: return 0;
    }
  }
  switch (c) {
    case 24: return 6;
    case 25: return 4;
    case 26: return 2;
    case 27: return 0;
    case 28: return 6;
    case 29: return 4;
    case 30: return 2;
    case 31: case 32: return 6;
    case 33: return 4;
    case 34: return 2;
    case 35: return 0;
    case 36: return 6;
    case 37: return 4;
    case 38: return 2;
    case 39: return 0;
    default: return 6;
  }
}
}  // namespace

int dayOfWeek(int64_t day, int64_t month, int64_t year) {
  if (day < 1 || month < 1 || year < 1000 || year > 4099) return -1;
  static const int monthCodes[12] = {0, 3, 3, 6, 1, 4, 6, 2, 5, 0, 3, 5};
  int64_t d = (day - 1) % 7;
  int mc = month <= 12 ? monthCodes[month - 1] : 0;
  int64_t yy = year % 100;
  int k = (month <= 2 && isLeapYear(year)) ? 0 : 1;
  return static_cast<int>((d + mc + centuryCode(year) + (yy + yy / 4) % 7 + k) % 7);
}

}  // namespace orvel
