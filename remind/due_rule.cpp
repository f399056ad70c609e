#include "remind/due_rule.h"

#include <algorithm>
#include <cstdio>

#include "text/date_time.h"

namespace dvx {
namespace {

const char kNotFound[] = "找不到";
const char kFullWidthColon[] = "：";

// Two digits at p, or -1.
inline int twoDigits(const char* p) {
  const unsigned a = static_cast<unsigned char>(p[0]) - '0', b = static_cast<unsigned char>(p[1]) - '0';
  return a < 10 && b < 10 ? static_cast<int>(a * 10 + b) : -1;
}

// The two forms the lookups store, read without the general grammar's
// copies: a walk of half a million rows reads a million dates.
bool fastDay(const std::string& text, long long& day) {
  const size_t n = text.size();
  if (n != 10 && n != 19) return false;
  const char* s = text.data();
  const int yHigh = twoDigits(s), yLow = twoDigits(s + 2), m = twoDigits(s + 5), d = twoDigits(s + 8);
  if (yHigh < 0 || yLow < 0 || m < 1 || m > 12 || d < 1 || s[4] != '/' || s[7] != '/') return false;
  if (n == 19) {
    const int hh = twoDigits(s + 11), mm = twoDigits(s + 14), ss = twoDigits(s + 17);
    if (s[10] != ' ' || s[13] != ':' || s[16] != ':' || hh < 0 || hh > 23 || mm < 0 || mm > 59 || ss < 0 ||
        ss > 59)
      return false;
  }
  const int y = yHigh * 100 + yLow;
  if (y < 100 || d > daysInMonth(y, m)) return false;
  day = daysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
  return true;
}

// The registrar column counts empty when it holds nothing but full-width
// colons (the page's labels leave them behind).
bool registrarEmpty(const std::string& s) {
  const size_t n = sizeof kFullWidthColon - 1;
  for (size_t i = 0; i < s.size(); i += n)
    if (s.compare(i, n, kFullWidthColon) != 0) return false;
  return true;
}

bool columnsIncomplete(const DomainRecord& r) {
  return r.RegDate.empty() || r.ExpireDate.empty() || r.BaiduS.empty() || r.LastUpdate.empty() ||
         registrarEmpty(r.Registeracom) || r.RegDate == kNotFound || r.ExpireDate == kNotFound;
}

}  // namespace

long long todayDayNumber() {
  const DateTime now = nowLocal();
  return daysFromCivil(now.year, static_cast<unsigned>(now.month), static_cast<unsigned>(now.day));
}

long long dayOfText(const std::string& text) {
  long long day;
  if (fastDay(text, day)) return day;
  const DateTime d = parseDateTime(text);
  if (isNoDate(d)) return kNoDay;
  return daysFromCivil(d.year, static_cast<unsigned>(d.month), static_cast<unsigned>(d.day));
}

CivilDay civilOfDay(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return CivilDay{static_cast<long long>(yoe) + era * 400 + (m <= 2), m, d};
}

std::string dayText(long long day) {
  const CivilDay c = civilOfDay(day);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld/%02u/%02u", c.year, c.month, c.day);
  return buf;
}

bool isStale(long long expiryDay, long long lastUpdateDay, long long today) {
  if (lastUpdateDay == kNoDay || lastUpdateDay > today) return true;
  const long long age = today - lastUpdateDay;
  if (expiryDay == kNoDay) return age >= 10;
  const long long left = expiryDay - today;
  if (left <= 30) return age >= 1;
  if (left <= 90) return age >= 3;
  return age >= 10;
}

bool isDue(const DomainRecord& rec, long long today) {
  if (columnsIncomplete(rec)) return true;
  return isStale(dayOfText(rec.ExpireDate), dayOfText(rec.LastUpdate), today);
}

DuePicker::DuePicker(long long today) : today_(today) {}

void DuePicker::consider(const DomainRecord& rec) {
  const long long expiry = dayOfText(rec.ExpireDate);
  const long long last = dayOfText(rec.LastUpdate);
  if (!columnsIncomplete(rec) && !isStale(expiry, last, today_)) return;
  // Rows without an expiry date go after every dated one; kNoDay already
  // sorts an unreadable LastUpdate first.
  due_.push_back(Due{expiry == kNoDay ? INT64_MAX : expiry, last, rec.id});
}

std::vector<int32_t> DuePicker::mostUrgent(size_t limit) const {
  const auto before = [](const Due& a, const Due& b) {
    if (a.expiry != b.expiry) return a.expiry < b.expiry;
    if (a.lastUpdate != b.lastUpdate) return a.lastUpdate < b.lastUpdate;
    return a.id < b.id;
  };
  std::vector<Due> first(std::min(limit, due_.size()));
  std::partial_sort_copy(due_.begin(), due_.end(), first.begin(), first.end(), before);
  std::vector<int32_t> ids;
  ids.reserve(first.size());
  for (const Due& d : first) ids.push_back(d.id);
  return ids;
}

}  // namespace dvx
