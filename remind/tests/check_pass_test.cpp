// The check pass against a real store and a fetcher that serves fixed pages:
// which rows it looks up, in what order, and that a failed re-check keeps
// the known date (also through the helper the query job uses).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "lookup/domain_lookup.h"
#include "lookup/tests/fake_fetcher.h"
#include "remind/check_pass.h"
#include "text/codepage.h"
#include "text/date_time.h"

namespace dvx {
namespace {

namespace fs = std::filesystem;

class NoErrors : public StoreErrorSink {
 public:
  void showStoreError(const std::string& text) override { ADD_FAILURE() << text; }
};

class CheckPassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir_ = fs::temp_directory_path() / ("dvx-remind-" + std::to_string(stamp));
    fs::create_directories(dir_);
    const std::string file = (dir_ / "domains.db").string();
    DomainStore::CreateIfMissing(file);
    store_.OpenStore(file);
    hosts_.whoisBase = "http://whois.test/";
    hosts_.baiduHost = "baidu.test";
    hosts_.rdapFallback = false;
  }
  void TearDown() override {
    store_.Close();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  std::string day(long long offset) const {
    const CivilDay c = civilOfDay(today_ + offset);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld/%02u/%02u", c.year, c.month, c.day);
    return buf;
  }
  // Adds a complete row and returns its id.
  int32_t add(const std::string& domain, const std::string& expire, const std::string& lastUpdate) {
    store_.AddDomains(domain);
    int32_t id = 0;
    for (const auto& r : store_.LoadAll())
      if (r.second == domain) id = r.first;
    DomainRecord r;
    r.id = id;
    r.Domain = domain;
    r.RegDate = "2001/02/03";
    r.ExpireDate = expire;
    r.BaiduS = "5";
    r.GoogleS = "0";
    r.LastUpdate = lastUpdate;
    r.Registeracom = "Old Registrar";
    r.Registrant = "Old Owner";
    EXPECT_TRUE(store_.SaveLookup(id, r, true));
    return id;
  }
  void pageWithDates(const std::string& domain, const std::string& expire) {
    fetcher_.serve(hosts_.whoisBase + domain + "/",
                   gbkToUtf8("<table><tr><td>注册时间</td><td>2001-02-03</td></tr>"
                             "<tr><td>过期时间</td><td>" + expire + "</td></tr>"
                             "<tr><td>注册商</td><td>New Registrar</td></tr></table>"));
  }
  std::vector<std::string> whoisRequests() {
    std::vector<std::string> out;
    for (const std::string& u : fetcher_.requested())
      if (u.compare(0, hosts_.whoisBase.size(), hosts_.whoisBase) == 0) out.push_back(u.substr(hosts_.whoisBase.size()));
    return out;
  }

  fs::path dir_;
  NoErrors errors_;
  DomainStore store_{&errors_};
  testing::FakeFetcher fetcher_;
  LookupHosts hosts_;
  const long long today_ = todayDayNumber();
  std::atomic<bool> cancel_{false};
};

TEST_F(CheckPassTest, LooksUpDueRowsMostUrgentFirstAndKeepsKnownDates) {
  const int32_t busy = add("busy.com", day(5), day(-2));        // due; its server fails
  const int32_t renewed = add("renewed.com", day(20), day(-1));  // due; renewed meanwhile
  add("fresh.com", day(200), day(-1));                           // not due
  store_.AddDomains("new.com");                                  // due, never looked up; fails
  pageWithDates("renewed.com", "2031-02-03");

  CheckPassOptions options;
  options.pauseAfterLookupMs = 0;
  const CheckPassResult result = runCheckPass(store_, fetcher_, hosts_, options, cancel_, today_);
  EXPECT_EQ(result.dueRows, 3);
  EXPECT_EQ(result.lookedUp, 3);
  EXPECT_FALSE(result.storeRefused);
  EXPECT_EQ(whoisRequests(), (std::vector<std::string>{"busy.com/", "renewed.com/", "new.com/"}));

  // The failed re-check keeps the stored dates and the old LastUpdate; the
  // other fields are what the lookup gave.
  const DomainRecord b = store_.FindById(busy);
  EXPECT_EQ(b.ExpireDate, day(5));
  EXPECT_EQ(b.RegDate, "2001/02/03");
  EXPECT_EQ(b.LastUpdate, day(-2));
  EXPECT_EQ(b.BaiduS, "0");
  EXPECT_TRUE(isDue(b, today_));
  const DomainRecord r = store_.FindById(renewed);
  EXPECT_EQ(dayOfText(r.ExpireDate), daysFromCivil(2031, 2, 3));
  EXPECT_EQ(r.LastUpdate, todayText());
  EXPECT_EQ(r.Registeracom, "New Registrar");
  // With no date known, the failure is stored as it reads.
  for (const auto& row : store_.LoadAll()) {
    if (row.second == "new.com") {
      EXPECT_EQ(store_.FindById(row.first).ExpireDate, "找不到");
    }
  }

  // The reminder after the pass: the unconfirmed date is listed as such,
  // the renewed domain no more.
  const Reminder rem = collectReminder(store_, today_, kDefaultReminderDays);
  ASSERT_EQ(rem.items.size(), 1u);
  EXPECT_EQ(rem.items[0].domain, "busy.com");
  EXPECT_TRUE(rem.items[0].unconfirmed);
  EXPECT_EQ(rem.unconfirmed, 1);
}

TEST_F(CheckPassTest, StopsAtTheLimitAndOnCancel) {
  for (int i = 0; i < 5; ++i) add("d" + std::to_string(i) + ".com", day(10 + i), day(-1));
  CheckPassOptions options;
  options.pauseAfterLookupMs = 0;
  options.checkLimit = 2;
  CheckPassResult result = runCheckPass(store_, fetcher_, hosts_, options, cancel_, today_);
  EXPECT_EQ(result.dueRows, 5);
  EXPECT_EQ(result.lookedUp, 2);
  EXPECT_EQ(whoisRequests(), (std::vector<std::string>{"d0.com/", "d1.com/"}));

  // A cancel during the pause ends the pass before the next lookup, long
  // before the pause would have.
  options.checkLimit = 300;
  options.pauseAfterLookupMs = 60000;
  std::thread canceller([this] {
    while (whoisRequests().size() < 3) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    cancel_ = true;
  });
  result = runCheckPass(store_, fetcher_, hosts_, options, cancel_, today_);
  canceller.join();
  EXPECT_EQ(result.lookedUp, 1);
}

// The helper the query job calls after each lookup.
TEST(KeepKnownDates, OnlyADateReplacesNotFound) {
  DomainRecord stored;
  stored.RegDate = "2001/02/03";
  stored.ExpireDate = "2027/01/01 00:00:00";
  stored.LastUpdate = "2026/11/30";
  DomainRecord looked;
  looked.RegDate = "找不到";
  looked.ExpireDate = "找不到";
  looked.BaiduS = "9";
  looked.LastUpdate = "2026/12/08";
  DomainRecord kept = looked;
  keepKnownDates(stored, kept);
  EXPECT_EQ(kept.RegDate, stored.RegDate);
  EXPECT_EQ(kept.ExpireDate, stored.ExpireDate);
  EXPECT_EQ(kept.LastUpdate, stored.LastUpdate);
  EXPECT_EQ(kept.BaiduS, "9");

  // A registration date alone comes back without holding back LastUpdate;
  // "无记录" is no date to keep.
  stored.ExpireDate = "无记录";
  kept = looked;
  keepKnownDates(stored, kept);
  EXPECT_EQ(kept.RegDate, stored.RegDate);
  EXPECT_EQ(kept.ExpireDate, "找不到");
  EXPECT_EQ(kept.LastUpdate, "2026/12/08");
}

}  // namespace
}  // namespace dvx
