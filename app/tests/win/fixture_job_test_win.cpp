// A query job against the local fixture web through the real page fetch.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "main_window_harness_win.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {
using namespace testing_win;

// Run by with_fixture_web.sh, which starts the server and names its port.
class DISABLED_FixtureWebJob : public MainWindowHarness {
 protected:
  // Every lookup service at the fixture web, RDAP on or off; returns its host.
  std::string pointAtFixtureWeb(bool rdap) {
    const char* port = std::getenv("DVX_FIXTURE_PORT");
    EXPECT_NE(port, nullptr);
    const std::string host = std::string("127.0.0.1:") + (port != nullptr ? port : "0");
    writeSetting("WhoisBase", "http://" + host + "/whois/");
    writeSetting("BaiduHost", host);
    writeSetting("RdapBootstrap", "http://" + host + "/rdap/dns.json");
    writeSetting("RdapFallback", rdap ? "真" : "假");
    writeSetting("按过期日期排序", "假");
    return host;
  }
};

TEST_F(DISABLED_FixtureWebJob, FillsEveryColumnOfSeveralDomains) {
  pointAtFixtureWeb(false);
  seed({named("full.example"), named("english.example"),
        named("norecord.example"), named("banner.example")});
  MainWindow& w = open(std::shared_ptr<PageFetcher>(makeWebFetcher()));
  ASSERT_TRUE(waitForRefresh());
  ListView lv = w.list();
  ASSERT_EQ(lv.rowCount(), 4);
  auto row = [&](int r) {
    std::string s;
    for (int c : {1, 2, 3, 4, 5, 6, 7, 8, 9}) s += lv.cell(r, c) + "|";
    return s;
  };
  EXPECT_EQ(row(0), "full.example|张三|李四 (admin@full.example)|2010/03/05|2030/03/05|Example Registrar, Inc.|0||0|");
  EXPECT_EQ(row(1), "english.example|||2008/07/09|2026/07/09||0||0|");
  EXPECT_EQ(row(2), "norecord.example|||无记录|无记录||0||0|");
  // No WHOIS page: the fixture's 404 body is parsed like any page, and it
  // carries an expiry cell.
  EXPECT_EQ(row(3), "banner.example|||找不到|2031/12/31||1230||0|");
  EXPECT_EQ(lv.cell(3, 0), "4");
}

// The fixture web's request log (its /__requests) as raw JSON text.
std::string requestLog(const std::string& host) {
  std::unique_ptr<PageFetcher> fetcher = makeWebFetcher();
  return fetcher ? fetcher->fetchBytes("http://" + host + "/__requests") : std::string();
}

int timesRequested(const std::string& log, const std::string& target) {
  int n = 0;
  for (size_t at = log.find("\"" + target + "\""); at != std::string::npos; at = log.find("\"" + target + "\"", at + 1)) ++n;
  return n;
}

// When the server received the last request for `target` (seconds).
double requestTime(const std::string& log, const std::string& target) {
  const size_t entry = log.rfind("\"" + target + "\"");
  const size_t time = entry == std::string::npos ? entry : log.find("\"time\": ", entry);
  return time == std::string::npos ? -1 : std::atof(log.c_str() + time + 8);
}

std::string datesAndRegistrar(ListView& lv, int row) {
  return lv.cell(row, 1) + "|" + lv.cell(row, 4) + "|" + lv.cell(row, 5) + "|" + lv.cell(row, 6);
}

TEST_F(DISABLED_FixtureWebJob, RdapFallbackOffSendsNothing) {
  const std::string host = pointAtFixtureWeb(false);
  seed({named("thin.example")});
  MainWindow& w = open(std::shared_ptr<PageFetcher>(makeWebFetcher()));
  ASSERT_TRUE(waitForRefresh());
  ListView lv = w.list();
  EXPECT_EQ(datesAndRegistrar(lv, 0), "thin.example|找不到|找不到|");
  const std::string log = requestLog(host);
  EXPECT_EQ(timesRequested(log, "/whois/thin.example/"), 1) << log;
  EXPECT_EQ(log.find("/rdap/"), std::string::npos) << log;
}

// RDAP behind the page, through the real fetch: the fixture web's bootstrap
// sends ".example" names to its own /rdap/.
TEST_F(DISABLED_FixtureWebJob, RdapGivesWhatThePageLacks) {
  const std::string host = pointAtFixtureWeb(true);
  seed({named("thin.example"), named("full.example"), named("limited.example"), named("after.example")});
  MainWindow& w = open(std::shared_ptr<PageFetcher>(makeWebFetcher()));
  ASSERT_TRUE(waitForRefresh());
  ListView lv = w.list();
  // The page has no dates: both dates and the registrar from RDAP, stored.
  EXPECT_EQ(datesAndRegistrar(lv, 0), "thin.example|1997/09/15|2028/09/14|Example Registrar, LLC");
  EXPECT_EQ(w.store()->FindById(toInteger(lv.cell(0, 10))).ExpireDate, "2028/09/14");
  // The page answers: its values, and no RDAP request.
  EXPECT_EQ(datesAndRegistrar(lv, 1), "full.example|2010/03/05|2030/03/05|Example Registrar, Inc.");
  // 429: "找不到" stays, and the host is not asked again during its
  // Retry-After, so the next name keeps "找不到" without a request.
  EXPECT_EQ(datesAndRegistrar(lv, 2), "limited.example|找不到|找不到|");
  EXPECT_EQ(datesAndRegistrar(lv, 3), "after.example|找不到|找不到|");

  const std::string log = requestLog(host);
  EXPECT_EQ(timesRequested(log, "/rdap/dns.json"), 1) << log;
  EXPECT_EQ(timesRequested(log, "/rdap/domain/thin.example"), 1) << log;
  EXPECT_EQ(timesRequested(log, "/rdap/domain/full.example"), 0) << log;
  EXPECT_EQ(timesRequested(log, "/rdap/domain/limited.example"), 1) << log;
  EXPECT_EQ(timesRequested(log, "/rdap/domain/after.example"), 0) << log;
  // Two requests to one host are a second apart at least.
  const double gap = requestTime(log, "/rdap/domain/limited.example") - requestTime(log, "/rdap/domain/thin.example");
  EXPECT_GE(gap, 0.95) << log;
  std::printf("RDAP requests to one host %.2f s apart\n", gap);
}

// Five names with RDAP on, the last under a suffix without RDAP: after its
// WHOIS page the job consults the bootstrap (no server for ".cn") and goes
// on to its Baidu count, and the job ends with every row looked up. (RDAP's
// state is the process's: another test may have the fixture host backed
// off, so thin.example's dates are not checked here.)
TEST_F(DISABLED_FixtureWebJob, FiveNamesWithRdapEndWithTheLastOne) {
  const std::string host = pointAtFixtureWeb(true);
  seed({named("full.example"), named("english.example"), named("norecord.example"), named("thin.example"),
        named("last.cn")});
  MainWindow& w = open(std::shared_ptr<PageFetcher>(makeWebFetcher()));
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_TRUE(waitForRefresh());
  std::printf("five names with RDAP looked up in %.1f s\n",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  ListView lv = w.list();
  ASSERT_EQ(lv.rowCount(), 5);
  // No WHOIS page: the fixture's 404 body, with an expiry cell and no
  // registration date, and no RDAP server for ".cn".
  EXPECT_EQ(datesAndRegistrar(lv, 4), "last.cn|找不到|2031/12/31|");
  EXPECT_EQ(lv.cell(4, 7), "0");
  const std::string log = requestLog(host);
  // The last WHOIS request of the .cn name is followed by its Baidu request.
  const size_t whois = log.rfind("\"/whois/last.cn/\"");
  ASSERT_NE(whois, std::string::npos) << log;
  EXPECT_NE(log.find("\"/s?wd=site:last.cn\"", whois), std::string::npos) << log;
  EXPECT_EQ(log.find("/rdap/domain/last.cn"), std::string::npos) << log;
}

// Pages that misbehave (see the fixture web's HOSTILE block): every domain
// still ends stored, as "找不到" or with its facts, the job goes on to the
// next, and the window answers messages all along.
TEST_F(DISABLED_FixtureWebJob, MisbehavingPagesEndEveryDomainAndTheWindowAnswers) {
  pointAtFixtureWeb(false);
  const std::vector<std::string> domains = {"drip.hostile",   "loop.hostile",   "reset.hostile",
                                            "binary.hostile", "badutf8.hostile", "big.hostile",
                                            "full.example"};
  std::vector<DomainRecord> records;
  for (const auto& d : domains) records.push_back(named(d));
  const std::vector<int> ids = seed(records);
  MainWindow& w = open(std::shared_ptr<PageFetcher>(makeWebFetcher(std::chrono::milliseconds(3000))));

  // Another thread keeps asking the window for an answer while the job runs.
  HANDLE jobDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> asked{0}, unanswered{0};
  HWND hwnd = w.hwnd();
  std::thread prober([&] {
    // One question every 50 ms until the job has ended.
    do {
      DWORD_PTR result = 0;
      if (!SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result)) ++unanswered;
      ++asked;
    } while (WaitForSingleObject(jobDone, 50) == WAIT_TIMEOUT);
  });
  const bool refreshed = waitForRefresh();
  SetEvent(jobDone);
  prober.join();
  CloseHandle(jobDone);
  ASSERT_TRUE(refreshed);
  EXPECT_GT(asked.load(), 10);
  EXPECT_EQ(unanswered.load(), 0);

  for (size_t i = 0; i < domains.size(); ++i) {
    const DomainRecord rec = w.store()->FindById(ids[i]);
    std::printf("%s: %s | %s | %s | %s\n", domains[i].c_str(), rec.RegDate.c_str(), rec.ExpireDate.c_str(),
                rec.BaiduS.c_str(), rec.LastUpdate.c_str());
    EXPECT_EQ(rec.Domain, domains[i]);
    // Looked up and stored: dates (or "找不到"), a count, today's date.
    EXPECT_FALSE(rec.RegDate.empty()) << domains[i];
    EXPECT_FALSE(rec.ExpireDate.empty()) << domains[i];
    EXPECT_FALSE(rec.BaiduS.empty()) << domains[i];
    EXPECT_FALSE(rec.LastUpdate.empty()) << domains[i];
  }
  // The pages that came to nothing gave nothing.
  for (size_t i : {0, 1, 3}) EXPECT_EQ(w.store()->FindById(ids[i]).RegDate, "找不到") << domains[i];
  // Broken UTF-8 costs the characters it spoils, not the page.
  EXPECT_EQ(w.store()->FindById(ids[4]).RegDate.rfind("2010-03-05", 0), 0u);
  // The good page after them was read as usual.
  EXPECT_EQ(w.store()->FindById(ids[6]).RegDate, "2010/03/05");
  EXPECT_EQ(w.store()->FindById(ids[6]).ExpireDate, "2030/03/05");
}

// The title check fetches each site's own address, so the fixture web
// stands in for every site as the proxy of this throwaway prefix; the test
// script sets that up before this test runs.
class DISABLED_FixtureWebProxy : public MainWindowHarness {};

TEST_F(DISABLED_FixtureWebProxy, TitleCheckThroughTheRealFetch) {
  ASSERT_NE(std::getenv("DVX_FIXTURE_PROXY"), nullptr);
  std::vector<DomainRecord> records;
  for (const char* d : {"twoline.example", "danger.example", "down.invalid"}) {
    DomainRecord r = named(d);
    r.RegDate = "2010/01/01";
    r.ExpireDate = "2040/01/01";
    r.BaiduS = "1";
    r.LastUpdate = "2026/01/01";
    r.Registeracom = "R";
    records.push_back(r);
  }
  seed(records);
  writeSetting("按过期日期排序", "假");
  MainWindow& w = open(std::shared_ptr<PageFetcher>(makeWebFetcher()));
  ASSERT_TRUE(waitForRefresh());
  SendMessageW(w.control(kIdTitleCheck), BM_CLICK, 0, 0);
  ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(w.control(kIdTitleCheck)) != FALSE; }, 60000));

  ListView lv = w.list();
  // A UTF-8 page with its title over two lines and a keyword in the body.
  EXPECT_EQ(lv.cell(0, 4), "(警告!检测到危险关键词! 娱乐城 )第一行\r\n第二行");
  // A GBK page whose keywords sit in a script.
  EXPECT_EQ(lv.cell(1, 4), "(警告!检测到危险关键词! 六合 博彩 )Home");
  // A site that closes the connection without an answer.
  EXPECT_EQ(lv.cell(2, 4), "未正确获取到!");
  // Nothing is stored.
  EXPECT_EQ(w.store()->FindById(toInteger(lv.cell(0, 10))).RegDate, "2010/01/01");
}

}  // namespace
}  // namespace dvx
