#include "lookup/rdap_date.h"

#include <cstdio>

#include "text/date_time.h"

namespace dvx {
namespace {

class Cursor {
 public:
  explicit Cursor(const std::string& s) : s_(s) {}
  // Exactly `count` digits; false (and nothing consumed) otherwise.
  bool digits(int count, int& value) {
    if (pos_ + static_cast<size_t>(count) > s_.size()) return false;
    int v = 0;
    for (int i = 0; i < count; ++i) {
      const char c = s_[pos_ + static_cast<size_t>(i)];
      if (c < '0' || c > '9') return false;
      v = v * 10 + (c - '0');
    }
    pos_ += static_cast<size_t>(count);
    value = v;
    return true;
  }
  bool take(char c) {
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool takeAny(const char* set) {
    for (const char* p = set; *p; ++p)
      if (take(*p)) return true;
    return false;
  }
  void skipDigits() {
    while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
  }
  bool atDigit() const { return pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9'; }
  bool atEnd() const { return pos_ == s_.size(); }

 private:
  const std::string& s_;
  size_t pos_ = 0;
};

// The offset east of UTC in minutes; false when malformed.
bool readOffset(Cursor& in, int& minutes) {
  minutes = 0;
  if (in.atEnd() || in.takeAny("Zz")) return true;
  int sign = 0;
  if (in.take('+')) sign = 1;
  else if (in.take('-')) sign = -1;
  else return false;
  int hh = 0, mm = 0;
  if (!in.digits(2, hh)) return false;
  if (in.take(':')) {
    if (!in.digits(2, mm)) return false;
  } else if (in.atDigit() && !in.digits(2, mm)) {
    return false;
  }
  if (hh > 23 || mm > 59) return false;
  minutes = sign * (hh * 60 + mm);
  return true;
}

}  // namespace

std::string rdapDateToUtcDay(const std::string& text) {
  Cursor in(text);
  int year = 0, month = 0, day = 0;
  if (!in.digits(4, year) || !in.take('-') || !in.digits(2, month) || !in.take('-') ||
      !in.digits(2, day)) {
    return std::string();
  }
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
    return std::string();

  int offset = 0, minuteOfDay = 0;
  if (!in.atEnd()) {
    if (!in.takeAny("Tt ")) return std::string();
    int hh = 0, mm = 0, ss = 0;
    if (!in.digits(2, hh) || !in.take(':') || !in.digits(2, mm)) return std::string();
    if (in.take(':')) {
      if (!in.digits(2, ss)) return std::string();
      if (in.take('.')) {
        if (!in.atDigit()) return std::string();
        in.skipDigits();
      }
    }
    // 60 is a leap second; it never moves the date.
    if (hh > 23 || mm > 59 || ss > 60) return std::string();
    if (!readOffset(in, offset) || !in.atEnd()) return std::string();
    minuteOfDay = hh * 60 + mm;
  }

  // Local time minus the offset is UTC; it moves the date by one day at most.
  const int utcMinute = minuteOfDay - offset;
  int y = year;
  int m = month, d = day;
  if (utcMinute < 0) {
    if (--d == 0) {
      if (--m == 0) {
        m = 12;
        --y;
      }
      d = daysInMonth(y, m);
    }
  } else if (utcMinute >= 24 * 60) {
    if (++d > daysInMonth(y, m)) {
      d = 1;
      if (++m == 13) {
        m = 1;
        ++y;
      }
    }
  }
  // The system's dates run from the year 100, and 100/01/01 stands for "no
  // date": neither may come out of a date that read.
  if (y < 100 || y > 9999 || (y == 100 && m == 1 && d == 1)) return std::string();
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d/%02d/%02d", y, m, d);
  return buf;
}

}  // namespace dvx
