// Date grammar (after full-width digits and punctuation are folded to ASCII):
//
//   item    digits  separator allowed after it (at most one)
//   year    1..4    年 - . / :
//   month   1..2    月 - . / :
//   day     1..2    日 space - . / :
//   hour    0..2    时 - . / :
//   minute  0..2    分 - . / :
//   second  0..2    then the end of the text, or 秒 followed by anything
//
// Digits are taken greedily; a missing hour, minute or second is 0. Anything
// else where a digit or separator is expected makes the text unreadable, and
// so does a value out of range. No library parsing is involved, so the
// result never depends on the locale.
#include "text/date_time.h"

#include <cstdio>
#include <ctime>

#include "text/gbk_text.h"

namespace dvx {

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return (m == 2 && isLeapYear(y)) ? 29 : kDays[m - 1];
}

long long daysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

namespace {

class Reader {
 public:
  explicit Reader(const std::string& s) : s_(s) {}

  // Reads min..max digits greedily into value; false when fewer than min.
  bool digits(int minCount, int maxCount, int& value) {
    value = 0;
    int count = 0;
    while (count < maxCount && pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
      value = value * 10 + (s_[pos_] - '0');
      ++pos_;
      ++count;
    }
    return count >= minCount;
  }

  // Takes at most one separator: the given GBK word, a space when allowed,
  // or one of - . / :
  void separator(const char* word, bool spaceAllowed) {
    if (at(word)) {
      pos_ += 2;
      return;
    }
    if (pos_ >= s_.size()) return;
    const char c = s_[pos_];
    if (c == '-' || c == '.' || c == '/' || c == ':' || (spaceAllowed && c == ' ')) ++pos_;
  }

  bool at(const char* word) const { return s_.compare(pos_, 2, word) == 0; }
  bool atEnd() const { return pos_ >= s_.size(); }

 private:
  const std::string& s_;
  size_t pos_ = 0;
};

DateTime noDate() { return DateTime{}; }

// The grammar reads at most 20 characters (19 of date and time, then 秒).
// Only a head of the text is folded, so a page-sized cell costs no more than
// a short one; a mark that no rule accepts stands for the rest, which gives
// the same result as folding it all.
std::string foldedHead(const std::string& text) {
  const size_t kHeadChars = 32;
  size_t end = 0;
  for (size_t k = 0; k < kHeadChars && end < text.size(); ++k)
    end += isGbkLead(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
  if (end == text.size()) return foldFullWidth(text);
  return foldFullWidth(text.substr(0, end)) + '\x01';
}

}  // namespace

bool isNoDate(const DateTime& d) { return d == DateTime{}; }

DateTime parseDateTime(const std::string& text) {
  const std::string folded = foldedHead(text);
  Reader r(folded);
  DateTime d;
  if (!r.digits(1, 4, d.year)) return noDate();
  r.separator("年", false);
  if (!r.digits(1, 2, d.month)) return noDate();
  r.separator("月", false);
  if (!r.digits(1, 2, d.day)) return noDate();
  r.separator("日", true);
  r.digits(0, 2, d.hour);
  r.separator("时", false);
  r.digits(0, 2, d.minute);
  r.separator("分", false);
  r.digits(0, 2, d.second);
  if (!r.atEnd() && !r.at("秒")) return noDate();

  if (d.year < 100 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1 ||
      d.day > daysInMonth(d.year, d.month) || d.hour > 23 || d.minute > 59 || d.second > 59) {
    return noDate();
  }
  return d;
}

std::string formatDateTime(const DateTime& d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d/%02d/%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour,
                d.minute, d.second);
  return buf;
}

double toDayCount(const DateTime& d) {
  const int month = d.month < 1 ? 1 : (d.month > 12 ? 12 : d.month);
  const long long days = daysFromCivil(d.year, static_cast<unsigned>(month),
                                       static_cast<unsigned>(d.day < 1 ? 1 : d.day)) -
                         daysFromCivil(1899, 12, 30);
  const double seconds = d.hour * 3600.0 + d.minute * 60.0 + d.second;
  return static_cast<double>(days) + seconds / 86400.0;
}

DateTime nowLocal() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  if (localtime_s(&tm, &t) != 0) return DateTime{};
#else
  if (localtime_r(&t, &tm) == nullptr) return DateTime{};
#endif
  DateTime d;
  d.year = tm.tm_year + 1900;
  d.month = tm.tm_mon + 1;
  d.day = tm.tm_mday;
  d.hour = tm.tm_hour;
  d.minute = tm.tm_min;
  // A leap second reads as the last ordinary second.
  d.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
  return d;
}

std::string todayText() {
  const DateTime d = nowLocal();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d/%02d/%02d", d.year, d.month, d.day);
  return buf;
}

}  // namespace dvx
