// The one date reader and writer of the system.
#pragma once
#include <string>

namespace dvx {

struct DateTime {
  int year = 100, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  bool operator==(const DateTime& o) const {
    return year == o.year && month == o.month && day == o.day && hour == o.hour &&
           minute == o.minute && second == o.second;
  }
};

// Proleptic Gregorian calendar arithmetic (month 1..12).
bool isLeapYear(int year);
int daysInMonth(int year, int month);
// Days since 1970-01-01.
long long daysFromCivil(long long year, unsigned month, unsigned day);

// 100-01-01 00:00:00 stands for "no readable date".
bool isNoDate(const DateTime& d);

// Reads a date and optional time by the fixed grammar (see date_time.cpp);
// a text that does not read gives 100-01-01 00:00:00.
DateTime parseDateTime(const std::string& text);

// YYYY/MM/DD hh:mm:ss, year as plain decimal.
std::string formatDateTime(const DateTime& d);

// Linear day count from 30 December 1899 (the serial-date origin), with the
// time of day as a positive fraction, also for dates before the origin.
double toDayCount(const DateTime& d);

// The current local date and time.
DateTime nowLocal();

// Today's local date as YYYY/MM/DD.
std::string todayText();

}  // namespace dvx
