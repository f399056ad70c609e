// The real fetch against the local fixture web (tests/fixture_web.py),
// which run_fixture_web.sh starts and names in DVX_FIXTURE_PORT. The
// FixtureWeb tests address it directly; FixtureProxy runs with Wine's proxy
// setting pointing at it, so the default outside host names are used.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>
#include <psapi.h>

#include "lookup/index_counter.h"
#include "lookup/page_decode.h"
#include "lookup/page_fetcher.h"
#include "lookup/rdap_lookup.h"
#include "lookup/regex_capture.h"
#include "lookup/whois_parser.h"

namespace dvx {
namespace {

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string fixtureFile(const std::string& relativePath) {
  std::ifstream in(std::string(DVX_LOOKUP_FIXTURES) + "/" + relativePath, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

int occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The threads of this process now.
int threadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int n = 0;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++n;
  CloseHandle(snapshot);
  return n;
}

// Seconds until `done` holds, polled every 50 ms; -1 when it still does not
// after `limit` seconds.
template <typename Condition>
double secondsUntil(Condition done, double limit) {
  const auto t0 = std::chrono::steady_clock::now();
  for (;;) {
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (done()) return s;
    if (s > limit) return -1;
    Sleep(50);
  }
}

class FixtureWeb : public ::testing::Test {
 protected:
  void SetUp() override {
    port = env("DVX_FIXTURE_PORT");
    if (port.empty()) GTEST_SKIP() << "run through run_fixture_web.sh";
    base = "http://127.0.0.1:" + port;
    fetcher = makeWebFetcher();
    ASSERT_TRUE(fetcher);
  }

  std::string port, base;
  std::unique_ptr<PageFetcher> fetcher;
};

TEST_F(FixtureWeb, BodiesComeBackRawWhateverTheStatus) {
  EXPECT_EQ(fetcher->fetchBytes(base + "/whois/full.example/"), fixtureFile("whois/full.example.html"));
  EXPECT_EQ(fetcher->fetchBytes(base + "/__404"), fixtureFile("special/404.html"));
  EXPECT_EQ(fetcher->fetchBytes(base + "/__redirect"), fixtureFile("special/redirected.html"));
  EXPECT_EQ(fetcher->fetchBytes(base + "/__nul"), std::string("abc\0def", 7));
  std::string big = fetcher->fetchBytes(base + "/__big?mb=4");
  EXPECT_EQ(big.size(), 4u * 1024 * 1024);
  EXPECT_NE(big.find("END-OF-BIG-PAGE"), std::string::npos);
  // A GBK page arrives as GBK bytes.
  std::string gbk = fetcher->fetchBytes(base + "/s?wd=site:banner-gbk.example");
  EXPECT_NE(gbk.find("找到相关结果数约4,567个"), std::string::npos);
}

TEST_F(FixtureWeb, RequestHeaders) {
  ASSERT_FALSE(fetcher->fetchBytes(base + "/__404?probe=headers").empty());
  std::string log = fetcher->fetchBytes(base + "/__requests");
  size_t entry = log.find("\"target\": \"/__404?probe=headers\"");
  ASSERT_NE(entry, std::string::npos) << log;
  size_t end = log.find('}', entry);
  std::string headers = log.substr(entry, end - entry);
  EXPECT_NE(log.rfind("\"method\": \"GET\"", entry), std::string::npos);
  size_t contentType = headers.find("[\"Content-Type\", \"application/x-www-form-urlencoded\"]");
  size_t connection = headers.find("[\"Connection\", ");
  EXPECT_NE(contentType, std::string::npos) << headers;
  EXPECT_NE(connection, std::string::npos) << headers;
  // In the order set, and "close" as set.
  EXPECT_LT(contentType, connection) << headers;
  EXPECT_NE(headers.find("[\"Connection\", \"close\"]"), std::string::npos) << headers;
  // One Accept header, and compressed pages asked for (they arrive decoded).
  EXPECT_EQ(occurrences(headers, "[\"Accept\", "), 1) << headers;
  EXPECT_NE(headers.find("[\"Accept-Encoding\", \"gzip, deflate\"]"), std::string::npos) << headers;
  std::printf("headers received: %s\n", headers.c_str());
}

// RDAP's requests: their own Accept header, the final status after
// redirects, and the headers that judge the answer.
TEST_F(FixtureWeb, RequestsWithStatus) {
  const HttpHeaders accept = {{"Accept", kRdapAccept}};
  HttpResponse r = fetcher->fetchResponse(base + "/rdap/domain/thin.example", accept, kMaxRdapAnswerBytes);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.contentType, "application/rdap+json");
  EXPECT_EQ(r.body, fixtureFile("rdap/thin.example.json"));
  std::string log = fetcher->fetchBytes(base + "/__requests");
  size_t entry = log.find("\"target\": \"/rdap/domain/thin.example\"");
  ASSERT_NE(entry, std::string::npos) << log;
  const std::string headers = log.substr(entry, log.find('}', entry) - entry);
  // One Accept header, RDAP's own: a server that reads the first one
  // must not see "*/*".
  EXPECT_EQ(occurrences(headers, "[\"Accept\", "), 1) << headers;
  EXPECT_NE(headers.find(std::string("[\"Accept\", \"") + kRdapAccept + "\"]"), std::string::npos) << headers;
  EXPECT_EQ(headers.find("x-www-form-urlencoded"), std::string::npos) << headers;

  r = fetcher->fetchResponse(base + "/rdap/domain/nothing.example", accept, kMaxRdapAnswerBytes);
  EXPECT_EQ(r.status, 404);
  EXPECT_EQ(r.body, "");
  r = fetcher->fetchResponse(base + "/rdap/domain/limited.example", accept, kMaxRdapAnswerBytes);
  EXPECT_EQ(r.status, 429);
  EXPECT_EQ(r.retryAfter, "120");
  EXPECT_EQ(fetcher->fetchResponse(base + "/rdap/domain/html.example", accept, kMaxRdapAnswerBytes).contentType, "text/html");

  // Redirects are followed, five hops at most; a sixth, or a loop, fails.
  r = fetcher->fetchResponse(base + "/rdap/hops/5", accept, kMaxRdapAnswerBytes);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, fixtureFile("rdap/thin.example.json"));
  EXPECT_EQ(fetcher->fetchResponse(base + "/rdap/hops/6", accept, kMaxRdapAnswerBytes).status, 0);
  EXPECT_EQ(fetcher->fetchResponse(base + "/rdap/loop", accept, kMaxRdapAnswerBytes).status, 0);

  std::string refused = env("DVX_REFUSED_PORT");
  ASSERT_FALSE(refused.empty());
  r = fetcher->fetchResponse("http://127.0.0.1:" + refused + "/rdap/domain/thin.example", accept, kMaxRdapAnswerBytes);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.body, "");
}

TEST_F(FixtureWeb, FailuresGiveEmptyBytes) {
  std::string refused = env("DVX_REFUSED_PORT");
  ASSERT_FALSE(refused.empty());
  EXPECT_EQ(fetcher->fetchBytes("http://127.0.0.1:" + refused + "/"), "");
  EXPECT_EQ(fetcher->fetchBytes("not a url"), "");

  // Accepted, then closed without an answer after a few seconds.
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(fetcher->fetchBytes(base + "/__hang"), "");
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(seconds, 60.0);
  std::printf("hang path ended after %.1f s\n", seconds);
}

// Every fetch ends within its time limit, whatever the page does; what came
// whole comes back whole. A fetch at its limit is cancelled: its connection
// closes and its thread ends, and it sends nothing more.
TEST_F(FixtureWeb, MisbehavingPagesEndWithinTheTimeLimit) {
  std::unique_ptr<PageFetcher> limited = makeWebFetcher(std::chrono::milliseconds(4000));
  ASSERT_TRUE(limited);
  auto timed = [&](const std::string& kind, std::string& bytes, PageFetcher* with = nullptr) {
    const auto t0 = std::chrono::steady_clock::now();
    bytes = (with ? with : limited.get())->fetchBytes(base + "/whois/" + kind + ".hostile/");
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%s: %zu bytes after %.1f s\n", kind.c_str(), bytes.size(), s);
    return s;
  };
  std::string bytes;
  ASSERT_FALSE(fetcher->fetchBytes(base + "/__404").empty());  // the fetch's own threads warmed up
  // The fewest threads over half a second: a thread that was just ending
  // is not counted.
  int threadsBefore = threadCount();
  for (int i = 0; i < 10; ++i, Sleep(50)) threadsBefore = std::min(threadsBefore, threadCount());
  ASSERT_GT(threadsBefore, 0);
  // The drip would take ten minutes.
  EXPECT_LT(timed("drip", bytes), 6.0);
  EXPECT_EQ(bytes, "");
  auto open = [&] { return fetcher->fetchBytes(base + "/__open"); };
  // The fetch's thread ends, and the server sees the connection go (its
  // next byte fails to send).
  const auto limitReached = std::chrono::steady_clock::now();
  auto since = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - limitReached).count(); };
  double threadsGoneAfter = -1, closedAfter = -1;
  secondsUntil([&] {
    if (threadsGoneAfter < 0 && threadCount() <= threadsBefore) threadsGoneAfter = since();
    if (closedAfter < 0 && open().find("drip.hostile") == std::string::npos) closedAfter = since();
    return threadsGoneAfter >= 0 && closedAfter >= 0;
  }, 10);
  std::printf("after the limit: connection closed within %.2f s, threads back to %d within %.2f s\n", closedAfter,
              threadsBefore, threadsGoneAfter);
  EXPECT_GE(closedAfter, 0) << open();
  EXPECT_GE(threadsGoneAfter, 0) << threadCount() << " threads, " << threadsBefore << " before";
  EXPECT_EQ(occurrences(fetcher->fetchBytes(base + "/__requests"), "drip.hostile"), 1);
  // A server that answers nothing (for 3 s here): the wait for its answer
  // ends at the deadline too, not when the server lets go.
  std::unique_ptr<PageFetcher> quick = makeWebFetcher(std::chrono::milliseconds(500));
  ASSERT_TRUE(quick);
  EXPECT_EQ(quick->fetchBytes(base + "/__hang"), "");
  const double silentGone = secondsUntil([&] { return threadCount() <= threadsBefore; }, 10);
  std::printf("silent server: the fetch's thread gone %.2f s after the limit\n", silentGone);
  EXPECT_GE(silentGone, 0);
  EXPECT_LT(silentGone, 1.5);

  // A redirect loop: the first request and five redirects, then nothing.
  timed("loop", bytes);
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(occurrences(fetcher->fetchBytes(base + "/__requests"), "loop.hostile"), 6);
  // Half a page is a page that could not be fetched.
  timed("reset", bytes);
  EXPECT_EQ(bytes, "");
  timed("binary", bytes);
  EXPECT_EQ(bytes.size(), 64u * 1024);
  timed("badutf8", bytes);
  EXPECT_NE(bytes.find("\xff\xfe\xc0\x80"), std::string::npos);
  // Ten megabytes are past a page's cap: nothing of them is kept.
  timed("big", bytes, fetcher.get());
  EXPECT_EQ(bytes, "");
  // The default limit lets a normal page through.
  EXPECT_EQ(fetcher->fetchBytes(base + "/whois/full.example/"), fixtureFile("whois/full.example.html"));
}

// Bodies are counted against their cap after decoding; a page is followed
// through five redirects and not six.
TEST_F(FixtureWeb, CapsAndRedirectLimitOfPages) {
  EXPECT_EQ(fetcher->fetchBytes(base + "/__big?mb=8").size(), kMaxPageBytes);
  EXPECT_EQ(fetcher->fetchBytes(base + "/__big?mb=9"), "");
  const HttpHeaders none;
  EXPECT_EQ(fetcher->fetchResponse(base + "/__big?mb=3", none, kMaxRdapAnswerBytes).status, 0);
  EXPECT_EQ(fetcher->fetchResponse(base + "/__big?mb=1", none, kMaxRdapAnswerBytes).body.size(), 1u << 20);

  // A compressed page arrives decoded.
  EXPECT_EQ(fetcher->fetchBytes(base + "/__gzip"), fixtureFile("whois/full.example.html"));
  // 256 MB of zeros in 256 KB: refused at the cap, long before it is all
  // inflated (held whole, it would raise the peak by 256 MB).
  PROCESS_MEMORY_COUNTERS before = {};
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before));
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(fetcher->fetchBytes(base + "/__gzipbomb?mb=256"), "");
  const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  PROCESS_MEMORY_COUNTERS after = {};
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after));
  const double grewMb = (static_cast<double>(after.PeakWorkingSetSize) - before.PeakWorkingSetSize) / (1 << 20);
  std::printf("gzip bomb refused after %.2f s; peak working set %.1f MB, grew %.1f MB\n", s,
              after.PeakWorkingSetSize / 1048576.0, grewMb);
  EXPECT_LT(grewMb, 64.0);

  EXPECT_EQ(fetcher->fetchBytes(base + "/__hops/5"), fixtureFile("special/redirected.html"));
  EXPECT_EQ(fetcher->fetchBytes(base + "/__hops/6"), "");
  EXPECT_EQ(occurrences(fetcher->fetchBytes(base + "/__requests"), "/__hops/"), 6 + 6);
}

TEST_F(FixtureWeb, WholeLookupThroughTheRealFetch) {
  LookupHosts hosts;
  hosts.whoisBase = base + "/whois/";
  hosts.baiduHost = "127.0.0.1:" + port;

  std::string reg, exp, registrar, owner = "kept", contact;
  lookupWhois(*fetcher, hosts, "full.example", reg, exp, registrar, owner, contact);
  EXPECT_EQ(reg, "2010/03/05");
  EXPECT_EQ(exp, "2030/03/05");
  EXPECT_EQ(registrar, "Example Registrar, Inc.");
  EXPECT_EQ(owner, "张三");
  EXPECT_EQ(contact, "李四 (admin@full.example)");

  lookupWhois(*fetcher, hosts, "norecord.example", reg, exp, registrar, owner, contact);
  EXPECT_EQ(reg, "无记录");
  EXPECT_EQ(exp, "无记录");

  // An unknown domain gets the 404 page, which is parsed like any page.
  lookupWhois(*fetcher, hosts, "unknown.example", reg, exp, registrar, owner, contact);
  EXPECT_EQ(reg, "找不到");
  EXPECT_EQ(exp, "2031/12/31");

  std::string baiduS, googleS = "x", aaa1 = "x";
  lookupIndexCounts(*fetcher, hosts, "banner.example", baiduS, googleS, aaa1);
  EXPECT_EQ(baiduS, "1230");
  EXPECT_EQ(googleS, "0");
  EXPECT_EQ(aaa1, "");
  EXPECT_EQ(baiduSiteCount(*fetcher, hosts, "banner-gbk.example"), 4567);
  EXPECT_EQ(baiduSiteCount(*fetcher, hosts, "summary.example"), 1234);
  EXPECT_EQ(baiduSiteCount(*fetcher, hosts, "huge.example"), 42);

  std::string page = fetchSiteText(*fetcher, base + "/site/twoline.example/");
  EXPECT_EQ(firstCapture(page, "<title>(.*?)</title>"), "第一行\r\n第二行");
}

TEST_F(FixtureWeb, SeveralThreadsAtOnce) {
  LookupHosts hosts;
  hosts.whoisBase = base + "/whois/";
  hosts.baiduHost = "127.0.0.1:" + port;
  std::vector<int> wrong(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 5; ++i) {
        std::string reg, exp, registrar, owner, contact;
        lookupWhois(*fetcher, hosts, t % 2 ? "english.example" : "full.example", reg, exp, registrar,
                    owner, contact);
        if (reg != (t % 2 ? "2008/07/09" : "2010/03/05")) ++wrong[t];
        if (baiduSiteCount(*fetcher, hosts, "banner.example") != 1230) ++wrong[t];
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
}

TEST(FixtureProxy, DefaultHostsThroughTheProxy) {
  if (env("DVX_FIXTURE_PROXY").empty()) GTEST_SKIP() << "run through run_fixture_web.sh";
  std::unique_ptr<PageFetcher> fetcher = makeWebFetcher();
  ASSERT_TRUE(fetcher);
  LookupHosts hosts;  // whois.aizhan.com and www.baidu.com, answered by the proxy
  // The proxy speaks plain HTTP only; the default WHOIS base is https.
  hosts.whoisBase = "http://whois.aizhan.com/";

  std::string reg, exp, registrar, owner, contact;
  lookupWhois(*fetcher, hosts, "english.example", reg, exp, registrar, owner, contact);
  EXPECT_EQ(reg, "2008/07/09");
  EXPECT_EQ(exp, "2026/07/09");
  EXPECT_EQ(baiduSiteCount(*fetcher, hosts, "summary.example"), 1234);

  std::string page = fetchSiteText(*fetcher, "http://danger.example");
  EXPECT_EQ(firstCapture(page, "<title>(.*?)</title>"), "Home");
  EXPECT_NE(page.find("博彩"), std::string::npos);
  EXPECT_EQ(fetcher->fetchBytes("http://danger.example/__redirect"), fixtureFile("special/redirected.html"));
  EXPECT_EQ(fetcher->fetchBytes("http://gone.invalid/"), "");
}

}  // namespace
}  // namespace dvx

