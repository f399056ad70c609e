// The due rule's table of cases, the order of the due rows and the limit.
#include <gtest/gtest.h>


#include "remind/due_rule.h"
#include "text/date_time.h"

namespace dvx {
namespace {

const long long kToday = daysFromCivil(2026, 12, 8);

std::string day(long long offset) { return dayText(kToday + offset); }

DomainRecord row(const std::string& expire, const std::string& lastUpdate, int32_t id = 1) {
  DomainRecord r;
  r.id = id;
  r.Domain = "example.com";
  r.RegDate = "2001/02/03";
  r.ExpireDate = expire;
  r.BaiduS = "12";
  r.GoogleS = "0";
  r.LastUpdate = lastUpdate;
  r.Registeracom = "Registrar";
  return r;
}

TEST(DueRule, TableOfCases) {
  struct Case {
    const char* what;
    DomainRecord rec;
    bool due;
  };
  DomainRecord noBaidu = row(day(400), day(0)), colonsOnly = row(day(400), day(0)),
               regNotFound = row(day(400), day(0)), noRegDate = row(day(400), day(0));
  noBaidu.BaiduS.clear();
  colonsOnly.Registeracom = "：：";
  regNotFound.RegDate = "找不到";
  noRegDate.RegDate.clear();
  const Case cases[] = {
      // Incomplete rows are due whatever their age.
      {"empty Baidu count", noBaidu, true},
      {"registrar only colons", colonsOnly, true},
      {"empty registration date", noRegDate, true},
      {"registration not found", regNotFound, true},
      {"expiry not found", row("找不到", day(0)), true},
      {"empty LastUpdate", row(day(400), ""), true},
      {"unreadable LastUpdate", row(day(400), "昨天"), true},
      {"LastUpdate after today", row(day(400), day(5)), true},
      // Expired or within 30 days: a day old.
      {"expired, looked up today", row(day(-5), day(0)), false},
      {"expired, a day old", row(day(-5), day(-1)), true},
      {"expires today, a day old", row(day(0), day(-1)), true},
      {"30 days left, today", row(day(30), day(0)), false},
      {"30 days left, a day old", row(day(30), day(-1)), true},
      // Within 90 days: 3 days old.
      {"31 days left, 2 days old", row(day(31), day(-2)), false},
      {"31 days left, 3 days old", row(day(31), day(-3)), true},
      {"90 days left, 2 days old", row(day(90), day(-2)), false},
      {"90 days left, 3 days old", row(day(90), day(-3)), true},
      // Further out, and an expiry that is no date: 10 days old.
      {"91 days left, 9 days old", row(day(91), day(-9)), false},
      {"91 days left, 10 days old", row(day(91), day(-10)), true},
      {"no record, 9 days old", row("无记录", day(-9)), false},
      {"no record, 10 days old", row("无记录", day(-10)), true},
      // Other forms the store holds read as the same dates.
      {"expiry with a time", row(day(20) + " 23:59:59", day(0) + " 08:00:00"), false},
      {"expiry with a time, a day old", row(day(20) + " 23:59:59", day(-1) + " 08:00:00"), true},
      {"Chinese date form", row("2026年12月20日", "2026-12-07"), true},
      {"Chinese date form, today", row("2026年12月20日", "2026-12-08"), false},
  };
  for (const Case& c : cases) EXPECT_EQ(isDue(c.rec, kToday), c.due) << c.what;
}

// The quick reading of the two stored forms agrees with the full grammar,
// also on texts it must refuse.
TEST(DueRule, DayOfTextAgreesWithTheDateReader) {
  for (const char* text : {"2026/12/20", "2028/02/29", "2026/02/29", "2026/13/01", "0099/01/01",
                           "2026/12/20 23:59:59", "2026/12/20 24:00:00", "2026/12/20 10:60:00",
                           "2026/12/2x", "2026/12/20 1:2:3", "2026-12-20", "2026/00/10"}) {
    const DateTime d = parseDateTime(text);
    const long long expected =
        isNoDate(d) ? kNoDay : daysFromCivil(d.year, static_cast<unsigned>(d.month), static_cast<unsigned>(d.day));
    EXPECT_EQ(dayOfText(text), expected) << text;
  }
  for (long long z : {-1000000LL, -1LL, 0LL, 59LL, 10957LL, 20795LL, 2932896LL}) {
    const CivilDay c = civilOfDay(z);
    EXPECT_EQ(daysFromCivil(c.year, c.month, c.day), z);
  }
}

TEST(DuePicker, MostUrgentFirstWithinTheLimit) {
  DuePicker picker(kToday);
  DomainRecord incomplete = row("", "", 6);
  picker.consider(row(day(200), day(-20), 1));   // due, far out
  picker.consider(row(day(10), day(-1), 2));     // due, soon
  picker.consider(row(day(10), day(-4), 3));     // due, as soon, older lookup
  picker.consider(row(day(-40), "", 4));         // due, expired long ago
  picker.consider(row(day(60), day(-1), 5));     // not due
  picker.consider(incomplete);                   // due, no expiry: last
  picker.consider(row("找不到", day(-30), 7));    // due, no expiry, after 6 (no LastUpdate reads oldest)
  EXPECT_EQ(picker.dueCount(), 6u);
  EXPECT_EQ(picker.mostUrgent(100), (std::vector<int32_t>{4, 3, 2, 1, 6, 7}));
  EXPECT_EQ(picker.mostUrgent(3), (std::vector<int32_t>{4, 3, 2}));
  EXPECT_TRUE(picker.mostUrgent(0).empty());
}

}  // namespace
}  // namespace dvx
