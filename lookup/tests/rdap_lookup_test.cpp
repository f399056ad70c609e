// RDAP behind the WHOIS page: the bootstrap's fallback chain and daily
// refresh, host politeness, and the lookup of a record, all on a fake clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>
#include <condition_variable>
#include <future>
#include <mutex>

#include "fake_fetcher.h"
#include "lookup/domain_lookup.h"
#include "text/codepage.h"

namespace dvx {
namespace {

using testing::FakeFetcher;
using testing::fixturePage;

// `now` is the time that really passed; `wallShift` is how far the system
// clock has been set away from it.
class FakeClock : public RdapClock {
 public:
  int64_t nowMs() override { return now + wallShift; }
  int64_t steadyMs() override { return now; }
  void sleepMs(int64_t ms) override {
    slept += ms;
    now += ms;
  }
  int64_t now = 1769731200000;  // 2026-01-30
  int64_t slept = 0;
  int64_t wallShift = 0;
};

const char kBootstrapUrl[] = "http://boot.test/dns.json";
const char kBootstrap[] = R"({"services":[[["example"],["https://rdap.test/"]],[["other"],["https://rdap2.test/"]]]})";

HttpResponse answer(int status, const std::string& body, const std::string& retryAfter = "") {
  HttpResponse r;
  r.status = status;
  r.body = body;
  r.contentType = "application/rdap+json";
  r.retryAfter = retryAfter;
  return r;
}

class RdapLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(::testing::TempDir()) /
                         (std::string("dvx_rdap_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::error_code ec;
    fs::remove_all(dir, ec);
    ASSERT_TRUE(fs::create_directories(dir, ec)) << ec.message();
    dir_ = dir.string() + "/";
    hosts_.whoisBase = "http://whois.test/";
    hosts_.baiduHost = "baidu.test";
    hosts_.rdapBootstrap = kBootstrapUrl;
    hosts_.dataDir = dir_;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  void keep(const char* name, const std::string& bytes) { std::ofstream(dir_ + name, std::ios::binary) << bytes; }
  std::string kept(const char* name) {
    std::ifstream in(dir_ + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  int requestsTo(const std::string& url) {
    int n = 0;
    for (const std::string& u : fetcher_.responseRequests()) n += u == url;
    return n;
  }
  // A WHOIS page (the service sends UTF-8) with no dates at all, and one
  // with both.
  void pageWithoutDates(const std::string& domain) {
    fetcher_.serve(hosts_.whoisBase + domain + "/", "<html><body>nothing here</body></html>");
  }
  void pageWithDates(const std::string& domain) {
    fetcher_.serve(hosts_.whoisBase + domain + "/",
                   gbkToUtf8("<table><tr><td>注册时间</td><td>2001-02-03</td></tr>"
                                 "<tr><td>过期时间</td><td>2031-02-03</td></tr>"
                                 "<tr><td>注册商</td><td>Page Registrar</td></tr></table>"));
  }
  DomainRecord lookup(const std::string& domain, RdapPolicy policy = kRdapOnWorker) {
    DomainRecord rec;
    rec.Domain = domain;
    rec.Registeracom = "Stored Registrar";
    lookupRecord(fetcher_, hosts_, rec, rdap_, policy);
    return rec;
  }

  std::string dir_;
  LookupHosts hosts_;
  FakeFetcher fetcher_;
  FakeClock clock_;
  RdapContext rdap_{clock_};
};

TEST_F(RdapLookupTest, BootstrapFallsBackFromDownloadToKeptCopyToShipped) {
  RdapBootstrapSource source(clock_);
  // Nothing downloadable, nothing kept: the shipped snapshot.
  auto b = source.current(fetcher_, kBootstrapUrl, dir_);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->domainUrl("a.com"), "https://rdap.verisign.com/com/v1/domain/a.com");
  EXPECT_EQ(fetcher_.lastHeaders().size(), 1u);

  // A kept copy beats the snapshot; a malformed download leaves it in use
  // and on disk.
  keep(RdapBootstrapSource::kCacheFile, R"({"services":[[["com"],["https://kept.test/"]]]})");
  fetcher_.serveResponse(kBootstrapUrl, answer(200, "{\"services\":"));
  RdapBootstrapSource restarted(clock_);
  EXPECT_EQ(restarted.current(fetcher_, "http://other.test/dns.json", dir_)->domainUrl("a.com"),
            "https://kept.test/domain/a.com");
  clock_.now += RdapBootstrapSource::kRefreshIntervalMs;
  EXPECT_EQ(restarted.current(fetcher_, kBootstrapUrl, dir_)->domainUrl("a.com"), "https://kept.test/domain/a.com");
  EXPECT_EQ(kept(RdapBootstrapSource::kCacheFile), R"({"services":[[["com"],["https://kept.test/"]]]})");

  // A malformed kept copy: the snapshot again.
  keep(RdapBootstrapSource::kCacheFile, "<html>proxy error</html>");
  RdapBootstrapSource third(clock_);
  EXPECT_EQ(third.current(fetcher_, kBootstrapUrl, dir_)->domainUrl("a.com"),
            "https://rdap.verisign.com/com/v1/domain/a.com");

  // An error status with a good-looking body is not a download either.
  fetcher_.serveResponse(kBootstrapUrl, answer(503, kBootstrap));
  clock_.now += RdapBootstrapSource::kRefreshIntervalMs;
  EXPECT_EQ(third.current(fetcher_, kBootstrapUrl, dir_)->domainUrl("a.example"), "");
}

TEST_F(RdapLookupTest, BootstrapRefreshesAtMostOnceADayAcrossRestarts) {
  fetcher_.serveResponse(kBootstrapUrl, answer(200, kBootstrap));
  {
    RdapBootstrapSource source(clock_);
    EXPECT_EQ(source.current(fetcher_, kBootstrapUrl, dir_)->domainUrl("a.example"),
              "https://rdap.test/domain/a.example");
    clock_.now += RdapBootstrapSource::kRefreshIntervalMs - 1;
    source.current(fetcher_, kBootstrapUrl, dir_);
    EXPECT_EQ(requestsTo(kBootstrapUrl), 1);
    EXPECT_EQ(kept(RdapBootstrapSource::kCacheFile), kBootstrap);
  }
  // A restart the same day reads the kept copy and does not download.
  RdapBootstrapSource restarted(clock_);
  EXPECT_EQ(restarted.current(fetcher_, kBootstrapUrl, dir_)->domainUrl("b.other"), "https://rdap2.test/domain/b.other");
  EXPECT_EQ(requestsTo(kBootstrapUrl), 1);
  // A day after the last attempt, one more download; a failed attempt
  // counts too, so the next day's try is the next one.
  clock_.now += 1;
  fetcher_.serveResponse(kBootstrapUrl, HttpResponse());
  restarted.current(fetcher_, kBootstrapUrl, dir_);
  restarted.current(fetcher_, kBootstrapUrl, dir_);
  EXPECT_EQ(requestsTo(kBootstrapUrl), 2);
  EXPECT_EQ(restarted.current(fetcher_, kBootstrapUrl, dir_)->domainUrl("b.other"), "https://rdap2.test/domain/b.other");
  // A changed address is tried at once.
  restarted.current(fetcher_, "http://boot2.test/dns.json", dir_);
  EXPECT_EQ(requestsTo("http://boot2.test/dns.json"), 1);
}

TEST(RdapHostGate, SpacingAndBackOff) {
  FakeClock clock;
  RdapHostGate gate(clock);
  EXPECT_EQ(gate.reserve("https://a.test", 0), 0);
  // The next slot is a second later; a caller that may not wait gets none.
  EXPECT_EQ(gate.reserve("https://a.test", 999), -1);
  EXPECT_EQ(gate.reserve("https://a.test", 2000), 1000);
  EXPECT_EQ(gate.reserve("https://a.test", 5000), 2000);
  EXPECT_EQ(gate.reserve("https://b.test", 0), 0);  // per host
  clock.now += 3000;
  EXPECT_EQ(gate.reserve("https://a.test", 0), 0);

  // 429 without Retry-After: 60 s; a shorter Retry-After does not shorten it.
  gate.backOff("https://a.test", "5");
  clock.now += 59999;
  EXPECT_EQ(gate.reserve("https://a.test", 100000), -1);
  clock.now += 1;
  EXPECT_EQ(gate.reserve("https://a.test", 0), 0);
  // A longer Retry-After in seconds, and as an HTTP date.
  gate.backOff("https://a.test", " 120 ");
  clock.now += 119999;
  EXPECT_EQ(gate.reserve("https://a.test", 0), -1);
  clock.now += 1;
  EXPECT_EQ(gate.reserve("https://a.test", 0), 0);
  EXPECT_EQ(retryAfterMs("Fri, 30 Jan 2026 00:02:00 GMT", 1769731200000), 120000);
  EXPECT_EQ(retryAfterMs("Thu, 29 Jan 2026 00:00:00 GMT", 1769731200000), 0);
  for (const char* bad : {"", "soon", "-5", "Fri, 30 Foo 2026 00:02:00 GMT", "Fri, 30 Jan 2026 00:02:00 CET"})
    EXPECT_EQ(retryAfterMs(bad, 1769731200000), -1) << bad;
  EXPECT_EQ(retryAfterMs("99999999999999", 0), 24LL * 60 * 60 * 1000);
}

TEST(RdapHostGate, TheSystemClockSetBackOrForwardChangesNoWait) {
  FakeClock clock;
  RdapHostGate gate(clock);
  EXPECT_EQ(gate.reserve("https://a.test", 0), 0);
  clock.wallShift = -60 * 60 * 1000;  // set back an hour
  clock.now += 1000;
  EXPECT_EQ(gate.reserve("https://a.test", 0), 0);
  gate.backOff("https://a.test", "");
  clock.wallShift = 0;  // and forward again: the back-off still runs its 60 s
  clock.now += 59999;
  EXPECT_EQ(gate.reserve("https://a.test", 100000), -1);
  clock.now += 1;
  EXPECT_EQ(gate.reserve("https://a.test", 0), 0);
}

TEST(RdapHostGate, RetryAfterDatesOutOfRangeAreRefused) {
  const int64_t now = 1769731200000;  // 2026-01-30
  EXPECT_EQ(retryAfterMs("Fri, 31 Dec 9999 23:59:59 GMT", now), 253402300799000 - now);
  for (const char* bad :
       {"Fri, 30 Jan 99999 00:02:00 GMT", "Fri, 30 Jan 2147483647 00:02:00 GMT", "Fri, 30 Jan 10000 00:02:00 GMT",
        "Mon, 31 Feb 2026 00:00:00 GMT", "Fri, 30 Jan 2026 24:00:00 GMT", "Fri, 30 Jan 2026 -1:00:00 GMT",
        "Fri, 30 Jan 2026 00:60:00 GMT", "Fri, 00 Jan 2026 00:00:00 GMT", "Fri, 99999999999 Jan 2026 00:00:00 GMT",
        "Fri, 30 Jan 2026 00:00:99999999999 GMT"})
    EXPECT_EQ(retryAfterMs(bad, now), -1) << bad;
  // A clock far outside any real date gives no date-based wait, not an overflow.
  EXPECT_EQ(retryAfterMs("Fri, 30 Jan 2026 00:02:00 GMT", INT64_MIN), -1);
  EXPECT_EQ(retryAfterMs("Fri, 30 Jan 2026 00:02:00 GMT", INT64_MAX), -1);
}

TEST(RdapHostGate, ThreadsGetDistinctSlots) {
  FakeClock clock;
  RdapHostGate gate(clock);
  std::vector<int64_t> waits(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < waits.size(); ++i)
    threads.emplace_back([&, i] { waits[i] = gate.reserve("https://a.test", 100000); });
  for (auto& t : threads) t.join();
  std::set<int64_t> distinct(waits.begin(), waits.end());
  EXPECT_EQ(distinct, (std::set<int64_t>{0, 1000, 2000, 3000, 4000, 5000, 6000, 7000}));
}

TEST_F(RdapLookupTest, TheKeptCopyIsReadOncePerRun) {
  keep(RdapBootstrapSource::kCacheFile, R"({"services":[[["example"],["https://kept.test/"]]]})");
  RdapBootstrapSource source(clock_);
  EXPECT_EQ(source.loaded(dir_)->domainUrl("a.example"), "https://kept.test/domain/a.example");
  // Written over later in the run (by another copy of the program): the
  // copy already read stays in use, and reading it sent nothing.
  keep(RdapBootstrapSource::kCacheFile, R"({"services":[[["example"],["https://changed.test/"]]]})");
  EXPECT_EQ(source.loaded(dir_)->domainUrl("a.example"), "https://kept.test/domain/a.example");
  EXPECT_TRUE(fetcher_.responseRequests().empty());
}

// A fetcher whose bootstrap download hangs until released.
class HangingBootstrap : public FakeFetcher {
 public:
  HttpResponse fetchResponse(const std::string& url, const HttpHeaders& headers, size_t maxBytes) override {
    if (url == kBootstrapUrl) {
      std::unique_lock<std::mutex> lock(mutex_);
      hanging_ = true;
      changed_.notify_all();
      changed_.wait(lock, [&] { return released_; });
    }
    return FakeFetcher::fetchResponse(url, headers, maxBytes);
  }
  void waitUntilHanging() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return hanging_; });
  }
  void release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool hanging_ = false, released_ = false;
};

TEST_F(RdapLookupTest, TheWindowThreadNeverWaitsForABootstrapDownload) {
  // Nothing loaded yet: the window's lookup uses the kept copy and asks
  // nobody for the bootstrap.
  keep(RdapBootstrapSource::kCacheFile, kBootstrap);
  fetcher_.serveResponse(kBootstrapUrl, answer(200, kBootstrap));
  fetcher_.serveResponse("https://rdap.test/domain/thin.example", answer(200, fixturePage("rdap/thin.example.json")));
  pageWithoutDates("thin.example");
  DomainRecord rec = lookup("thin.example", kRdapOnWindowThread);
  EXPECT_EQ(rec.ExpireDate, "2028/09/14");
  EXPECT_EQ(fetcher_.responseRequests(), (std::vector<std::string>{"https://rdap.test/domain/thin.example"}));

  // A worker's download hangs: the window's lookup neither downloads nor
  // waits for it.
  HangingBootstrap web;
  web.serveResponse(kBootstrapUrl, answer(200, kBootstrap));
  web.serveResponse("https://rdap.test/domain/thin.example", answer(200, fixturePage("rdap/thin.example.json")));
  web.serve(hosts_.whoisBase + "thin.example/", "<html></html>");
  RdapContext rdap(clock_);
  std::thread worker([&] {
    DomainRecord r;
    r.Domain = "thin.example";
    lookupRecord(web, hosts_, r, rdap, RdapPolicy{0, true});
  });
  web.waitUntilHanging();
  auto window = std::async(std::launch::async, [&] {
    DomainRecord r;
    r.Domain = "thin.example";
    lookupRecord(web, hosts_, r, rdap, kRdapOnWindowThread);
    return r.ExpireDate;
  });
  const bool finished = window.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
  web.release();
  worker.join();
  EXPECT_TRUE(finished);
  EXPECT_EQ(window.get(), "2028/09/14");
}

TEST_F(RdapLookupTest, DatesThePageLacksComeFromRdap) {
  fetcher_.serveResponse(kBootstrapUrl, answer(200, kBootstrap));
  fetcher_.serveResponse("https://rdap.test/domain/thin.example", answer(200, fixturePage("rdap/thin.example.json")));
  fetcher_.serveResponse("https://rdap.test/domain/noexp.example", answer(200, fixturePage("rdap/noexp.example.json")));
  pageWithoutDates("thin.example");
  DomainRecord rec = lookup("Thin.Example");
  EXPECT_EQ(rec.RegDate + "|" + rec.ExpireDate + "|" + rec.Registeracom,
            "1997/09/15|2028/09/14|Example Registrar, LLC");
  EXPECT_EQ(fetcher_.lastHeaders(), (HttpHeaders{{"Accept", kRdapAccept}}));
  EXPECT_EQ(rec.LastUpdate.size(), 10u);

  // No expiration published: the expiry stays "找不到"; the page's own
  // registrar is kept over RDAP's.
  fetcher_.serve(hosts_.whoisBase + "noexp.example/", gbkToUtf8("<td>注册商</td><td>Page Registrar</td>"));
  clock_.now += 1000;
  rec = lookup("noexp.example");
  EXPECT_EQ(rec.RegDate + "|" + rec.ExpireDate + "|" + rec.Registeracom, "2019/05/21|找不到|Page Registrar");
}

TEST_F(RdapLookupTest, RdapIsAskedOnlyForDatesThePageCouldNotGive) {
  fetcher_.serveResponse(kBootstrapUrl, answer(200, kBootstrap));
  fetcher_.serveResponse("https://rdap.test/domain/thin.example", answer(200, fixturePage("rdap/thin.example.json")));
  // A page with both dates: no RDAP request (nor a bootstrap download).
  pageWithDates("thin.example");
  DomainRecord rec = lookup("thin.example");
  EXPECT_EQ(rec.RegDate + "|" + rec.ExpireDate + "|" + rec.Registeracom, "2001/02/03|2031/02/03|Page Registrar");
  // "无记录" is the service's answer, not a missing date.
  fetcher_.serve(hosts_.whoisBase + "thin.example/", "no matching record");
  rec = lookup("thin.example");
  EXPECT_EQ(rec.RegDate + "|" + rec.ExpireDate, "无记录|无记录");
  EXPECT_TRUE(fetcher_.responseRequests().empty());

  // Only the expiry missing: only it is replaced.
  fetcher_.serve(hosts_.whoisBase + "thin.example/", gbkToUtf8("<td>注册时间</td><td>2001-02-03</td>"));
  rec = lookup("thin.example");
  EXPECT_EQ(rec.RegDate + "|" + rec.ExpireDate + "|" + rec.Registeracom,
            "2001/02/03|2028/09/14|Example Registrar, LLC");

  // Switched off: nothing is sent.
  hosts_.rdapFallback = false;
  const size_t before = fetcher_.responseRequests().size();
  rec = lookup("thin.example");
  EXPECT_EQ(rec.ExpireDate, "找不到");
  EXPECT_EQ(fetcher_.responseRequests().size(), before);
}

TEST_F(RdapLookupTest, NothingRdapLacksOverwritesAndUncoveredNamesSendNothing) {
  fetcher_.serveResponse(kBootstrapUrl, answer(200, kBootstrap));
  fetcher_.serveResponse("https://rdap.test/domain/gone.example", answer(404, ""));
  pageWithoutDates("gone.example");
  pageWithoutDates("name.cn");
  DomainRecord rec = lookup("gone.example");
  EXPECT_EQ(rec.RegDate + "|" + rec.ExpireDate + "|" + rec.Registeracom, "找不到|找不到|Stored Registrar");
  rec = lookup("name.cn");
  EXPECT_EQ(rec.RegDate + "|" + rec.ExpireDate, "找不到|找不到");
  EXPECT_EQ(fetcher_.responseRequests(),
            (std::vector<std::string>{kBootstrapUrl, "https://rdap.test/domain/gone.example"}));
}

TEST_F(RdapLookupTest, PolitenessAcrossLookups) {
  fetcher_.serveResponse(kBootstrapUrl, answer(200, kBootstrap));
  for (const char* d : {"a.example", "b.example", "c.example", "d.other"}) pageWithoutDates(d);
  fetcher_.serveResponse("https://rdap.test/domain/a.example", answer(200, fixturePage("rdap/thin.example.json")));
  fetcher_.serveResponse("https://rdap.test/domain/b.example", answer(429, "", "90"));
  fetcher_.serveResponse("https://rdap2.test/domain/d.other", answer(404, ""));

  lookup("a.example");
  EXPECT_EQ(clock_.slept, 0);
  // The same host a moment later: the worker waits out the second.
  clock_.now += 300;
  DomainRecord rec = lookup("b.example");
  EXPECT_EQ(clock_.slept, 700);
  EXPECT_EQ(rec.RegDate + "|" + rec.ExpireDate, "找不到|找不到");
  // Backed off for Retry-After's 90 s: no request, the dates stay missing;
  // another host is asked meanwhile.
  clock_.now += 89000;
  rec = lookup("c.example");
  EXPECT_EQ(rec.RegDate + "|" + rec.ExpireDate, "找不到|找不到");
  lookup("d.other");
  EXPECT_EQ(requestsTo("https://rdap.test/domain/c.example"), 0);
  EXPECT_EQ(requestsTo("https://rdap2.test/domain/d.other"), 1);
  clock_.now += 1000;
  lookup("c.example");
  EXPECT_EQ(requestsTo("https://rdap.test/domain/c.example"), 1);
  // The window's own thread never waits: a busy host is skipped.
  const int64_t slept = clock_.slept;
  lookup("c.example", RdapPolicy{0, true});
  EXPECT_EQ(requestsTo("https://rdap.test/domain/c.example"), 1);
  EXPECT_EQ(clock_.slept, slept);
}

}  // namespace
}  // namespace dvx
