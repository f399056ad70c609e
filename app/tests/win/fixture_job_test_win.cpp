// A query job against the local fixture web through the real page fetch.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "main_window_harness_win.h"

namespace dvx {
namespace {
using namespace testing_win;

// Run by with_fixture_web.sh, which starts the server and names its port.
class DISABLED_FixtureWebJob : public MainWindowHarness {};

TEST_F(DISABLED_FixtureWebJob, FillsEveryColumnOfSeveralDomains) {
  const char* port = std::getenv("DVX_FIXTURE_PORT");
  ASSERT_NE(port, nullptr);
  const std::string host = std::string("127.0.0.1:") + port;
  writeSetting("WhoisBase", "http://" + host + "/whois/");
  writeSetting("BaiduHost", host);
  writeSetting("按过期日期排序", "假");
  seed({named("full.example"), named("english.example"),
        named("norecord.example"), named("banner.example")});
  MainWindow& w = open(std::shared_ptr<PageFetcher>(makeXmlHttpFetcher()));
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

}  // namespace
}  // namespace dvx
