#include "remind/reminder.h"

#include <algorithm>
#include <cstdio>

#include "remind/due_rule.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

std::string itemLine(const ReminderItem& it) {
  std::string state;
  if (it.unconfirmed)
    state = "未能确认";
  else if (it.daysLeft < 0)
    state = "已过期 " + std::to_string(-it.daysLeft) + " 天";
  else
    state = "还剩 " + std::to_string(it.daysLeft) + " 天";
  return it.domain + " " + it.expireDate + " (" + state + ")";
}

unsigned long long fnv1a(unsigned long long h, const std::string& s) {
  for (const unsigned char c : s) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace

size_t gbkCharCount(const std::string& gbk) {
  size_t n = 0;
  for (size_t i = 0; i < gbk.size(); ++n)
    i += isGbkLead(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size() ? 2 : 1;
  return n;
}

std::string Reminder::title(int reminderDays) const {
  std::string t = "Domivex: ";
  std::vector<std::string> parts;
  if (expired) parts.push_back(std::to_string(expired) + " 个域名已过期");
  if (expiring)
    parts.push_back(std::to_string(expiring) + " 个域名将在 " + std::to_string(reminderDays) + " 天内到期");
  if (unconfirmed) parts.push_back(std::to_string(unconfirmed) + " 个域名未能确认");
  for (size_t i = 0; i < parts.size(); ++i) t += (i ? ", " : "") + parts[i];
  // Only counts in the millions reach the limit; whole characters are kept.
  size_t chars = 0, at = 0;
  while (at < t.size() && chars < kBalloonTitleChars) {
    at += isGbkLead(static_cast<unsigned char>(t[at])) && at + 1 < t.size() ? 2 : 1;
    ++chars;
  }
  t.resize(at);
  return t;
}

std::string Reminder::text() const {
  std::vector<std::string> lines;
  lines.reserve(items.size());
  for (const ReminderItem& it : items) lines.push_back(itemLine(it));
  // Whole lines only: the most that fit together with the ending the rest
  // then needs (a shorter ending never lets a line more in than this finds).
  size_t used = 0, fit = 0;
  for (; fit < lines.size(); ++fit) {
    const size_t next = used + (fit ? 1 : 0) + gbkCharCount(lines[fit]);
    const size_t rest = lines.size() - fit - 1;
    const size_t ending = rest ? 1 + gbkCharCount("等 " + std::to_string(rest) + " 个") : 0;
    if (next + ending > kBalloonTextChars) break;
    used = next;
  }
  std::string out;
  for (size_t i = 0; i < fit; ++i) out += (i ? "\n" : "") + lines[i];
  if (fit < lines.size()) out += (fit ? "\n" : "") + std::string("等 ") + std::to_string(lines.size() - fit) + " 个";
  return out;
}

std::string Reminder::key() const {
  std::vector<std::string> names;
  names.reserve(items.size());
  for (const ReminderItem& it : items) names.push_back(asciiLower(it.domain));
  std::sort(names.begin(), names.end());
  unsigned long long h = 14695981039346656037ull;
  for (const std::string& n : names) h = fnv1a(fnv1a(h, n), "\n");
  char buf[48];
  std::snprintf(buf, sizeof buf, "%zu:%016llx", names.size(), h);
  return buf;
}

ReminderCollector::ReminderCollector(long long today, int reminderDays)
    : today_(today), reminderDays_(reminderDays) {}

void ReminderCollector::consider(const DomainRecord& rec) {
  const long long expiry = dayOfText(rec.ExpireDate);
  if (expiry == kNoDay) return;
  const long long left = expiry - today_;
  if (left > reminderDays_) return;
  ReminderItem it{rec.Domain, dayText(expiry), left, isStale(expiry, dayOfText(rec.LastUpdate), today_)};
  if (it.unconfirmed)
    ++r_.unconfirmed;
  else if (left < 0)
    ++r_.expired;
  else
    ++r_.expiring;
  r_.items.push_back(std::move(it));
}

Reminder ReminderCollector::build() const {
  Reminder r = r_;
  std::stable_sort(r.items.begin(), r.items.end(), [](const ReminderItem& a, const ReminderItem& b) {
    if (a.daysLeft != b.daysLeft) return a.daysLeft < b.daysLeft;
    return a.domain < b.domain;
  });
  return r;
}

bool shownToday(const std::string& lastReminderSetting, const Reminder& r, long long today) {
  return lastReminderSetting == lastReminderValue(r, today);
}

std::string lastReminderValue(const Reminder& r, long long today) { return dayText(today) + "|" + r.key(); }

}  // namespace dvx
