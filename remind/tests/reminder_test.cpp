// The reminder: who is listed and how, the balloon's 255-character cut, and
// the once-a-day memory.
#include <gtest/gtest.h>

#include <algorithm>

#include "remind/due_rule.h"
#include "remind/reminder.h"
#include "text/date_time.h"

namespace dvx {
namespace {

const long long kToday = daysFromCivil(2026, 12, 8);

std::string day(long long offset) { return dayText(kToday + offset); }

DomainRecord row(const std::string& domain, const std::string& expire, const std::string& lastUpdate) {
  DomainRecord r;
  r.Domain = domain;
  r.RegDate = "2001/02/03";
  r.ExpireDate = expire;
  r.BaiduS = "1";
  r.LastUpdate = lastUpdate;
  r.Registeracom = "R";
  return r;
}

Reminder collect(const std::vector<DomainRecord>& rows, int days = 30) {
  ReminderCollector c(kToday, days);
  for (const DomainRecord& r : rows) c.consider(r);
  return c.build();
}

TEST(Reminder, CountsOrderAndUnconfirmedDates) {
  const Reminder r = collect({
      row("later.com", day(12), day(0)),
      row("gone.com", day(-3), day(0)),
      row("stale.com", day(-1), day(-1)),        // re-check failed yesterday
      row("edge.com", day(30) + " 10:00:00", day(-1)),  // within 30 days and a day old: unconfirmed
      row("today.com", day(0), day(0)),
      row("far.com", day(31), day(0)),           // outside the window
      row("norecord.com", "无记录", day(0)),
      row("notfound.com", "找不到", day(-9)),
      row("fresh90.com", day(25), day(0)),
  });
  EXPECT_EQ(r.expired, 1);
  EXPECT_EQ(r.expiring, 3);
  EXPECT_EQ(r.unconfirmed, 2);
  EXPECT_EQ(r.title(30), "Domivex: 1 个域名已过期, 3 个域名将在 30 天内到期, 2 个域名未能确认");
  EXPECT_EQ(r.text(),
            "gone.com " + day(-3) + " (已过期 3 天)\n"
            "stale.com " + day(-1) + " (未能确认)\n"
            "today.com " + day(0) + " (还剩 0 天)\n"
            "later.com " + day(12) + " (还剩 12 天)\n"
            "fresh90.com " + day(25) + " (还剩 25 天)\n"
            "edge.com " + day(30) + " (未能确认)");

  // A wider window takes the 31-day one in; counts of 0 leave their part out.
  const Reminder wide = collect({row("far.com", day(31), day(0))}, 60);
  EXPECT_EQ(wide.title(60), "Domivex: 1 个域名将在 60 天内到期");
  EXPECT_TRUE(collect({row("far.com", day(31), day(0))}).empty());
}

TEST(Reminder, TextIsCutAtWholeLinesWithTheCountLeftOut) {
  std::vector<DomainRecord> rows;
  for (int i = 0; i < 40; ++i)
    rows.push_back(row("domain-number-" + std::to_string(100 + i) + ".com", day(i % 20), day(0)));
  const Reminder r = collect(rows);
  const std::string text = r.text();
  EXPECT_LE(gbkCharCount(text), kBalloonTextChars);
  const size_t lastBreak = text.rfind('\n');
  ASSERT_NE(lastBreak, std::string::npos);
  const int shown = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  EXPECT_EQ(text.substr(lastBreak + 1), "等 " + std::to_string(40 - shown) + " 个");
  // The lines shown are the most urgent, whole, and one more would not
  // have fitted with its ending.
  std::string expected;
  for (int i = 0; i < shown; ++i) {
    const ReminderItem& it = r.items[static_cast<size_t>(i)];
    expected += it.domain + " " + it.expireDate + " (还剩 " + std::to_string(it.daysLeft) + " 天)\n";
  }
  EXPECT_EQ(text.substr(0, lastBreak + 1), expected);
  const ReminderItem& next = r.items[static_cast<size_t>(shown)];
  const std::string nextLine = next.domain + " " + next.expireDate + " (还剩 " + std::to_string(next.daysLeft) + " 天)";
  EXPECT_GT(gbkCharCount(expected + nextLine) + 1 + gbkCharCount("等 " + std::to_string(40 - shown - 1) + " 个"),
            kBalloonTextChars);
  EXPECT_EQ(r.items[0].daysLeft, 0);
  EXPECT_EQ(r.items[39].daysLeft, 19);

  // Double-byte names count one character each: four lines of 56
  // characters (88 bytes) fit whole, where counting bytes would cut.
  std::vector<DomainRecord> chinese;
  for (int i = 0; i < 4; ++i)
    chinese.push_back(row("中文域名中文域名中文域名中文域名中文域名中文域名中文域名中文域名" + std::to_string(i) + ".cn",
                          day(i), day(0)));
  const std::string ct = collect(chinese).text();
  EXPECT_GT(ct.size(), kBalloonTextChars);
  EXPECT_EQ(std::count(ct.begin(), ct.end(), '\n'), 3);
  EXPECT_EQ(ct.find("等"), std::string::npos);

  // A single line longer than the balloon leaves only the ending.
  const Reminder huge = collect({row(std::string(250, 'a') + ".com", day(3), day(0))});
  EXPECT_EQ(huge.text(), "等 1 个");
}

TEST(Reminder, ShownOncePerDayUntilTheSetChanges) {
  const Reminder first = collect({row("a.com", day(3), day(0)), row("b.com", day(-2), day(0))});
  EXPECT_FALSE(shownToday("", first, kToday));
  const std::string setting = lastReminderValue(first, kToday);
  EXPECT_EQ(setting.substr(0, 11), day(0) + "|");
  EXPECT_TRUE(shownToday(setting, first, kToday));
  // The same set read in another order is the same set.
  EXPECT_TRUE(shownToday(setting, collect({row("B.com", day(-2), day(0)), row("a.com", day(3), day(0))}), kToday));
  // Next day, or a domain entering the window, shows it again.
  EXPECT_FALSE(shownToday(setting, first, kToday + 1));
  EXPECT_FALSE(shownToday(setting,
                          collect({row("a.com", day(3), day(0)), row("b.com", day(-2), day(0)),
                                   row("c.com", day(29), day(0))}),
                          kToday));
}

}  // namespace
}  // namespace dvx
