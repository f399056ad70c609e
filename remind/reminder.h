// The reminder shown after the unattended check: which stored domains have
// expired or expire within the days set, and the balloon's title and text.
// Texts are GBK.
#pragma once
#include <string>
#include <vector>

#include "store/domain_record.h"

namespace dvx {

constexpr int kDefaultReminderDays = 30;  // settings key "ReminderDays"

struct ReminderItem {
  std::string domain;
  std::string expireDate;  // YYYY/MM/DD
  long long daysLeft;      // negative once expired
  // The last successful lookup is older than the due rule allows (its
  // re-check failed or has not run), so the stored date is not confirmed.
  bool unconfirmed;
};

struct Reminder {
  int expired = 0, expiring = 0, unconfirmed = 0;
  std::vector<ReminderItem> items;  // most urgent first
  bool empty() const { return items.empty(); }
  // "Domivex: 2 个域名已过期, 3 个域名将在 30 天内到期", parts with a count of
  // 0 left out; at most 63 characters.
  std::string title(int reminderDays) const;
  // One line per domain, most urgent first, at most 255 characters (a GBK
  // double byte is one character, as in the balloon's UTF-16); when some do
  // not fit, the last line is "等 N 个" with N the number left out.
  std::string text() const;
  // Stable text identifying the set of domains, for "LastReminder".
  std::string key() const;
};

class ReminderCollector {
 public:
  ReminderCollector(long long today, int reminderDays);
  void consider(const DomainRecord& rec);
  Reminder build() const;

 private:
  long long today_;
  int reminderDays_;
  Reminder r_;
};

// The balloon's limits in characters (UTF-16 units), terminator excluded.
constexpr size_t kBalloonTitleChars = 63;
constexpr size_t kBalloonTextChars = 255;

// Characters of GBK text as the balloon counts them.
size_t gbkCharCount(const std::string& gbk);

// "LastReminder" holds "<today's date YYYY/MM/DD>|<key>"; true when this
// reminder was already shown today.
bool shownToday(const std::string& lastReminderSetting, const Reminder& r, long long today);
std::string lastReminderValue(const Reminder& r, long long today);

}  // namespace dvx
