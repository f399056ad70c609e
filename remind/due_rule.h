// Which stored rows the unattended check looks up again today, and in what
// order. Dates are day numbers (daysFromCivil); "today" is the local date.
//
// A row is due when a looked-up column is empty, a date reads "找不到", or
// LastUpdate is not a date (or lies after today: the clock was wrong then).
// Otherwise the age of LastUpdate decides, by how near the expiry is: expired
// or expiring within 30 days, due at a day old (it may have been renewed);
// within 90 days, at 3 days; otherwise at 10 days. An expiry that is no date
// (the service's own "无记录", or text that does not read) takes the 10-day
// rule: asking daily would not give a date sooner.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/domain_record.h"

namespace dvx {

constexpr int kDefaultCheckLimit = 300;  // settings key "CheckLimit"

// Today's local date as a day number.
long long todayDayNumber();

// The day number of a stored date text, or kNoDay when it does not read.
constexpr long long kNoDay = INT64_MIN;
long long dayOfText(const std::string& text);

// The calendar date of a day number (the inverse of daysFromCivil).
struct CivilDay {
  long long year;
  unsigned month, day;
};
CivilDay civilOfDay(long long day);
// A day number as the store writes a date: "YYYY/MM/DD".
std::string dayText(long long day);

// True when the last lookup, made on `lastUpdateDay` (kNoDay: none readable),
// is older than the rule allows for a row expiring on `expiryDay` (kNoDay:
// no expiry date).
bool isStale(long long expiryDay, long long lastUpdateDay, long long today);

// True when the row is due for a new lookup today.
bool isDue(const DomainRecord& rec, long long today);

// Collects due rows from a walk of the store (DomainStore::ForEachRecord),
// keeping only what the order needs; most urgent first: soonest expiry (rows
// without one last), then oldest LastUpdate (unreadable counts oldest).
class DuePicker {
 public:
  explicit DuePicker(long long today);
  void consider(const DomainRecord& rec);
  std::vector<int32_t> mostUrgent(size_t limit) const;  // record ids
  size_t dueCount() const { return due_.size(); }

 private:
  struct Due {
    long long expiry, lastUpdate;
    int32_t id;
  };
  long long today_;
  std::vector<Due> due_;
};

}  // namespace dvx
