// Figures for the reminders at scale: the due rule over half a million rows,
// the reminder over the same rows, and the calendar of 50,000 domains.
// Prints wall and CPU times (the CPU time is what a busy machine does not
// inflate). The due rule is timed twice: over a vector of all the records,
// where reading 160 MB of records dominates, and as the store's walk hands
// them over, one record at a time and hot in the cache.
#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>
#include <vector>

#include "remind/due_rule.h"
#include "remind/reminder.h"
#include "remind/renewal_calendar.h"
#include "text/date_time.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Stopwatch {
  Clock::time_point wall = Clock::now();
  std::clock_t cpu = std::clock();
  std::string text() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.1f ms (CPU %.1f ms)",
                  std::chrono::duration<double, std::milli>(Clock::now() - wall).count(),
                  1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC);
    return buf;
  }
};

std::string dayText(long long day, bool withTime) {
  const dvx::CivilDay c = dvx::civilOfDay(day);
  char buf[48];
  std::snprintf(buf, sizeof buf, withTime ? "%lld/%02u/%02u 12:34:56" : "%lld/%02u/%02u", c.year, c.month, c.day);
  return buf;
}

std::vector<dvx::DomainRecord> rows(size_t n, long long today) {
  std::vector<dvx::DomainRecord> out(n);
  unsigned seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFF; };
  for (size_t i = 0; i < n; ++i) {
    dvx::DomainRecord& r = out[i];
    r.id = static_cast<int32_t>(i + 1);
    r.Domain = "domain" + std::to_string(i) + ".com";
    r.RegDate = "2005/06/07";
    // Expiries from two years back to eight years ahead; a few unknown.
    const unsigned k = next();
    r.ExpireDate = k % 50 == 0 ? "找不到" : dayText(today - 730 + static_cast<long long>(k % 3650), k % 3 == 0);
    r.BaiduS = "17";
    r.GoogleS = "0";
    r.LastUpdate = dayText(today - static_cast<long long>(next() % 20), false);
    r.Registeracom = "Some Registrar Ltd.";
  }
  return out;
}

}  // namespace

int main() {
  const long long today = dvx::todayDayNumber();
  std::vector<dvx::DomainRecord> big = rows(500000, today);

  for (int run = 0; run < 3; ++run) {
    const Stopwatch t;
    dvx::DuePicker picker(today);
    for (const dvx::DomainRecord& r : big) picker.consider(r);
    const std::vector<int32_t> ids = picker.mostUrgent(dvx::kDefaultCheckLimit);
    std::printf("due rule, 500000 rows from a vector: %s, %zu due, %zu picked\n", t.text().c_str(),
                picker.dueCount(), ids.size());
  }
  for (int run = 0; run < 3; ++run) {
    // The walk's one record, refilled per row: here its texts cycle through
    // the first 4096 rows and only the id is new.
    const Stopwatch t;
    dvx::DuePicker picker(today);
    for (size_t i = 0; i < big.size(); ++i) {
      dvx::DomainRecord& r = big[i % 4096];
      const int32_t id = r.id;
      r.id = static_cast<int32_t>(i + 1);
      picker.consider(r);
      r.id = id;
    }
    const std::vector<int32_t> ids = picker.mostUrgent(dvx::kDefaultCheckLimit);
    std::printf("due rule, 500000 rows as walked: %s, %zu due, %zu picked\n", t.text().c_str(), picker.dueCount(),
                ids.size());
  }

  const Stopwatch t;
  dvx::ReminderCollector collector(today, dvx::kDefaultReminderDays);
  for (const dvx::DomainRecord& r : big) collector.consider(r);
  const dvx::Reminder reminder = collector.build();
  const std::string text = reminder.text();
  std::printf("reminder, 500000 rows: %s, %zu listed, text %zu characters\n", t.text().c_str(),
              reminder.items.size(), dvx::gbkCharCount(text));

  const std::vector<dvx::DomainRecord> cal(big.begin(), big.begin() + 50000);
  for (int run = 0; run < 3; ++run) {
    const Stopwatch tc;
    const std::string ics = dvx::renewalCalendar(cal, dvx::utcStampNow());
    std::printf("calendar, 50000 domains: %s, %.1f MB\n", tc.text().c_str(), ics.size() / 1048576.0);
  }
  return 0;
}
