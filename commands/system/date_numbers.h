// Date numbers: days since 1899-12-30, the fraction being the time of day
// (1970-01-01 is 25569). Shared by time, clock and now.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace orvel {

constexpr double kNotADate = 9999999.0;
constexpr double kUnixEpochDay = 25569.0;

// Gregorian rule from 1582 on, every fourth year before.
bool isLeapYear(int64_t year);

// A clock text: at most 9 characters of digits and colons, one or two
// colons, not starting with a colon.
bool isClockText(std::string_view s);
// Reads h:m or h:m:s (hours 0-23, minutes and seconds 0-59) as a fraction
// of a day. False for a text that is not a clock text or a value out of range.
bool clockTextFraction(std::string_view s, double& fraction);

// A date text (YYYYMMDD, year/month/day, year/Mon/day, day/month/year,
// day/Mon/year, with / or - between the fields) as a date number, or
// kNotADate.
double dateTextToNumber(std::string_view text);
// The date number of a calendar date (no range checks).
int64_t dayNumber(int64_t year, int month, int64_t day);

// Month number 1-12 of a word whose first three letters name a month
// (any case), else 0.
int monthOfName(std::string_view word);
const char* monthAbbrev(int month);  // "Jan" ... "Dec"

// Reads a written date with optional time into seconds since 1970
// (clock scan). Returns the error code: 0 for success, 1-6 for the faults.
int64_t scanDateText(std::string_view text, int64_t currentYear, int64_t& seconds);

// Seconds since 1970 of a date number: (number + 0.000000002 - 25569) * 86400.
double dateNumberSeconds(double number);

// Day of the week (0 Sunday .. 6 Saturday) by the century-code table, or -1
// for a day or month below 1 or a year outside 1000 to 4099.
int dayOfWeek(int64_t day, int64_t month, int64_t year);

}  // namespace orvel
