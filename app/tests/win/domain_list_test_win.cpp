// The main window at work under Wine: the query job, expiry colours,
// sorting, resizing, delete and the re-query commands.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "main_window_harness_win.h"
#include "text/date_time.h"
#include "text/gbk_text.h"
#include "ui/list/cell_colour_registry.h"
#include "ui/window/query_job_win.h"
#include "ui/common/wide_win.h"

namespace dvx {
namespace {
using namespace testing_win;

const char kWhoisFull[] =
    u8"<table><tr><td>注册时间</td><td>2015-03-01 10:00:00</td></tr>"
    u8"<tr><td>过期时间</td><td>2030-03-01</td></tr>"
    u8"<tr><td>注册商</td><td>：Example Registrar</td></tr></table>"
    u8"<p>域名所有者<span>Owner A</span></p><p>注册人<span>Contact A</span></p>";
const char kWhoisNoOwner[] =
    u8"<table><tr><td>注册时间</td><td>2016/2/29</td></tr>"
    u8"<tr><td>过期时间</td><td>2031/2/28</td></tr>"
    u8"<tr><td>注册商</td><td>Other Registrar</td></tr></table>";
const char kWhoisNoRecord[] = u8"<p>No matching record.</p>";
const char kBaiduBanner[] = "<div>找到相关结果数约1,230个</div>";  // GBK bytes

std::string whoisUrl(const std::string& d) { return "http://whois.aizhan.com/" + d + "/"; }
std::string baiduUrl(const std::string& d) { return "http://www.baidu.com/s?wd=site:" + d; }

// YYYY/MM/DD for today plus `days`, in local time.
std::string dayFromToday(int days) {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  FILETIME ft{};
  SystemTimeToFileTime(&st, &ft);
  ULARGE_INTEGER t{};
  t.LowPart = ft.dwLowDateTime;
  t.HighPart = ft.dwHighDateTime;
  t.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(days) * 864000000000LL);
  ft.dwLowDateTime = t.LowPart;
  ft.dwHighDateTime = t.HighPart;
  FileTimeToSystemTime(&ft, &st);
  char buf[32];
  snprintf(buf, sizeof buf, "%04d/%02d/%02d", st.wYear, st.wMonth, st.wDay);
  return buf;
}

class DomainListTest : public MainWindowHarness {
 protected:
  std::shared_ptr<FakeFetcher> fetcher_ = std::make_shared<FakeFetcher>();
  ListView list() { return window_->list(); }
  int rowOf(const std::string& domain) {
    for (int r = 0; r < list().rowCount(); ++r)
      if (list().cell(r, 1) == domain) return r;
    return -1;
  }
  void select(int row) { list().selectRow(row); }
  std::optional<CellColours> colour(int row) {
    return cellColourMap().lookup(reinterpret_cast<ListId>(list().hwnd()), row, 5);
  }
  void click(int id) { SendMessageW(window_->control(id), BM_CLICK, 0, 0); }
  bool enabled(int id) { return IsWindowEnabled(window_->control(id)) != FALSE; }
};

TEST_F(DomainListTest, TheJobShowsStoredRowsAndLooksUpTheRest) {
  seed({stored("kept.com", "2040/01/01", "：  Kept Registrar "), named("found.com"),
        named("noowner.com"), named("gone.com"), named("norecord.com")});
  // noowner.com already has an owner; a page without one keeps it.
  {
    auto ids = seed({[] {
      DomainRecord r;
      r.Domain = "noowner.com";
      r.Registrant = "Old Owner";
      return r;
    }()});
    ASSERT_EQ(ids.size(), 1u);
  }
  fetcher_->pages[whoisUrl("found.com")] = kWhoisFull;
  fetcher_->pages[baiduUrl("found.com")] = kBaiduBanner;
  fetcher_->pages[whoisUrl("noowner.com")] = kWhoisNoOwner;
  fetcher_->pages[whoisUrl("norecord.com")] = kWhoisNoRecord;
  writeSetting("按过期日期排序", "假");
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  ASSERT_EQ(list().rowCount(), 5);

  // Stored and complete: shown from the store, cleaned of its colon and
  // leading blanks, without a request.
  const int kept = rowOf("kept.com");
  EXPECT_EQ(list().cell(kept, 5), "2040/01/01");
  EXPECT_EQ(list().cell(kept, 6), "Kept Registrar ");
  for (const std::string& url : fetcher_->requests) EXPECT_EQ(url.find("kept.com"), std::string::npos);

  const int found = rowOf("found.com");
  EXPECT_EQ(list().cell(found, 4), "2015/03/01");
  EXPECT_EQ(list().cell(found, 5), "2030/03/01");
  EXPECT_EQ(list().cell(found, 6), "Example Registrar");
  EXPECT_EQ(list().cell(found, 7), "1230");
  EXPECT_EQ(list().cell(found, 8), "");
  EXPECT_EQ(list().cell(found, 9), "0");
  EXPECT_EQ(list().cell(found, 2), "Owner A");
  EXPECT_EQ(list().cell(found, 3), "Contact A");

  const int noOwner = rowOf("noowner.com");
  EXPECT_EQ(list().cell(noOwner, 4), "2016/02/29");
  EXPECT_EQ(list().cell(noOwner, 2), "Old Owner");
  EXPECT_EQ(list().cell(noOwner, 7), "0");

  const int gone = rowOf("gone.com");
  EXPECT_EQ(list().cell(gone, 4), "找不到");
  EXPECT_EQ(list().cell(gone, 5), "找不到");
  EXPECT_EQ(list().cell(rowOf("norecord.com"), 5), "无记录");

  // What was shown was stored, with today's date.
  DomainRecord rec = w.store()->FindById(static_cast<int>(toNumber(list().cell(found, 10))));
  EXPECT_EQ(rec.ExpireDate, "2030/03/01");
  EXPECT_EQ(rec.LastUpdate, dayFromToday(0));
  EXPECT_EQ(rec.Registrant, "Owner A");

  EXPECT_EQ(windowText(w.hwnd()), "Domivex v15.0");
  EXPECT_TRUE(enabled(kIdAdd));
  EXPECT_TRUE(enabled(kIdRequeryAll));
  EXPECT_FALSE(enabled(kIdDelete));
  EXPECT_FALSE(enabled(kIdRequeryOne));
  select(0);
  EXPECT_TRUE(enabled(kIdDelete));
  EXPECT_TRUE(enabled(kIdRequeryOne));
}

TEST_F(DomainListTest, ExpiryCellsAreColouredByTheDaysLeft) {
  const char* expiries[] = {"", "", "", "", "", "", "", ""};
  (void)expiries;
  seed({stored("yesterday.com", dayFromToday(-1)), stored("today.com", dayFromToday(0)),
        stored("tomorrow.com", dayFromToday(1)), stored("two.com", dayFromToday(2)),
        stored("thirtyone.com", dayFromToday(31)), stored("thirtytwo.com", dayFromToday(32)),
        stored("unknown.com", "找不到"), stored("garbled.com", "soon")});
  writeSetting("按过期日期排序", "假");
  open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  const uint32_t red = 0x0000FF, blue = 0xFF0000;
  auto textColour = [&](const char* d) -> int64_t {
    const auto c = colour(rowOf(d));
    return c ? static_cast<int64_t>(c->text) : -1;
  };
  EXPECT_EQ(textColour("yesterday.com"), red);
  EXPECT_EQ(textColour("today.com"), red);
  EXPECT_EQ(textColour("tomorrow.com"), red);  // -0.x truncates to 0
  EXPECT_EQ(textColour("two.com"), blue);
  EXPECT_EQ(textColour("thirtyone.com"), blue);  // -30.x during the day
  EXPECT_EQ(textColour("thirtytwo.com"), -1);
  EXPECT_EQ(textColour("unknown.com"), red);
  EXPECT_EQ(textColour("garbled.com"), red);
  EXPECT_TRUE(fetcher_->requests.empty());
}

TEST_F(DomainListTest, HeaderClicksAlternateAndEqualKeysSwapPlaces) {
  seed({stored("b.com", "2030/01/01", "Same"), stored("a.com", "2031/01/01", "Same"),
        stored("c.com", "2029/01/01", "Other")});
  writeSetting("按过期日期排序", "假");
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  auto order = [&] {
    std::string s;
    for (int r = 0; r < list().rowCount(); ++r) s += list().cell(r, 1) + " ";
    return s;
  };
  ASSERT_EQ(order(), "b.com a.com c.com ");
  auto header = [&](int column) { clickHeader(column); };
  header(6);  // first click: ascending; the two "Same" rows swap
  EXPECT_EQ(order(), "c.com a.com b.com ");
  EXPECT_EQ(list().cell(0, 0), "1");
  header(2);  // not sortable: nothing changes, the direction does not flip
  EXPECT_EQ(order(), "c.com a.com b.com ");
  header(5);  // descending by expiry
  EXPECT_EQ(order(), "a.com b.com c.com ");
  header(6);  // ascending again: equal keys swap back
  EXPECT_EQ(order(), "c.com b.com a.com ");
  // Sorting by the number column moves the numbers with their rows.
  header(0);  // descending
  EXPECT_EQ(list().cell(0, 0), "3");
  EXPECT_EQ(list().cell(2, 0), "1");
  EXPECT_EQ(order(), "a.com b.com c.com ");
  // The ids travelled with the rows.
  for (int r = 0; r < 3; ++r)
    EXPECT_EQ(w.store()->FindById(static_cast<int>(toNumber(list().cell(r, 10)))).Domain, list().cell(r, 1));
}

TEST_F(DomainListTest, ControlsFollowTheWindowSizeWithoutDrift) {
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  auto rectOf = [&](int id) { return childRect(w.control(id)); };
  const RECT list0 = rectOf(kIdList), add0 = rectOf(kIdAdd), hint0 = rectOf(kIdHint1), check0 = rectOf(kIdSortCheck);
  auto resize = [&](int cx, int cy) {
    SetWindowPos(w.hwnd(), nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER);
  };
  resize(926 + 100, 467 + 50);
  RECT r = rectOf(kIdList);
  EXPECT_EQ(r.right - r.left, (list0.right - list0.left) + 100);
  EXPECT_EQ(r.bottom - r.top, (list0.bottom - list0.top) + 50);
  EXPECT_EQ(r.left, list0.left);
  r = rectOf(kIdAdd);
  EXPECT_EQ(r.left, add0.left + 100);
  EXPECT_EQ(r.top, add0.top + 50);
  EXPECT_EQ(r.right - r.left, add0.right - add0.left);
  r = rectOf(kIdHint1);
  EXPECT_EQ(r.left, hint0.left);
  EXPECT_EQ(r.top, hint0.top + 50);
  r = rectOf(kIdSortCheck);
  EXPECT_EQ(r.left, check0.left);
  EXPECT_EQ(r.top, check0.top + 50);
  for (int i = 0; i < 20; ++i) resize(700 + i * 37, 300 + i * 23);
  resize(926, 467);
  for (int id : {kIdList, kIdAdd, kIdHint1, kIdSortCheck, kIdClose}) {
    SCOPED_TRACE(id);
    const RECT now = rectOf(id);
    const RECT before = id == kIdList ? list0 : id == kIdAdd ? add0 : id == kIdHint1 ? hint0 : id == kIdSortCheck ? check0 : now;
    EXPECT_EQ(now.left, before.left);
    EXPECT_EQ(now.top, before.top);
    EXPECT_EQ(now.right, before.right);
    EXPECT_EQ(now.bottom, before.bottom);
  }
  EXPECT_EQ(rectOf(kIdClose).left, 800);
  EXPECT_EQ(rectOf(kIdClose).top, 395);
}

TEST_F(DomainListTest, DeleteAsksAndRemovesOnlyOnYes) {
  seed({stored("a.com", "2040/01/01"), stored("b.com", "2040/01/02"), stored("c.com", "2040/01/03")});
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  click(kIdDelete);  // nothing selected: nothing asked
  EXPECT_TRUE(prompter_.seen.empty());

  select(0);
  prompter_.answer = false;
  click(kIdDelete);
  ASSERT_EQ(prompter_.seen.size(), 1u);
  EXPECT_EQ(prompter_.seen[0].text, "是否删除 a.com ？");
  EXPECT_EQ(prompter_.seen[0].caption, "询问");
  EXPECT_EQ(prompter_.seen[0].icon, PromptIcon::Information);
  EXPECT_EQ(list().rowCount(), 3);
  EXPECT_EQ(w.store()->LoadAll().size(), 3u);

  // Deleting the last row: the next refresh selects the new last row.
  select(2);
  prompter_.answer = true;
  click(kIdDelete);
  EXPECT_EQ(list().rowCount(), 2);
  EXPECT_EQ(w.store()->LoadAll().size(), 2u);
  EXPECT_EQ(rowOf("c.com"), -1);
  EXPECT_EQ(list().cell(1, 0), "2");
  click(kIdRequeryFailed);  // a refresh
  ASSERT_TRUE(waitForRefresh(2));
  EXPECT_EQ(list().selectedRow(), 1);
  EXPECT_EQ(w.rememberedRow(), -1);
}

// Notes whether the window took input while a page was fetched on its own
// thread (the real fetch runs the thread's messages while it waits).
class InputProbeFetcher : public FakeFetcher {
 public:
  HWND window = nullptr;
  bool fetchedWithInputOn = false;
  std::string fetchBytes(const std::string& url) override {
    if (window && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() && IsWindowEnabled(window))
      fetchedWithInputOn = true;
    return FakeFetcher::fetchBytes(url);
  }
};

TEST_F(DomainListTest, ReQueryCommandsAskFirstAndLookUpAgain) {
  auto probe = std::make_shared<InputProbeFetcher>();
  fetcher_ = probe;
  seed({stored("one.com", "找不到", "Keep"), stored("two.com", "2040/01/01", "Keep")});
  fetcher_->pages[whoisUrl("one.com")] = kWhoisNoOwner;
  fetcher_->pages[whoisUrl("two.com")] = kWhoisFull;
  writeSetting("按过期日期排序", "假");
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  EXPECT_TRUE(fetcher_->requests.empty());  // a stored "找不到" with a registrar is not looked up

  // Re-query one: No changes nothing; Yes looks it up and replaces the owner.
  const int two = rowOf("two.com");
  select(two);
  prompter_.answer = false;
  click(kIdRequeryOne);
  EXPECT_EQ(prompter_.seen.back().text, "是否重新查询 two.com 的注册信息?");
  EXPECT_EQ(prompter_.seen.back().icon, PromptIcon::Question);
  EXPECT_TRUE(fetcher_->requests.empty());
  prompter_.answer = true;
  probe->window = w.hwnd();
  click(kIdRequeryOne);
  probe->window = nullptr;
  EXPECT_FALSE(probe->fetchedWithInputOn);  // no command or close starts inside the lookup
  EXPECT_TRUE(IsWindowEnabled(w.hwnd()));
  EXPECT_EQ(list().cell(two, 5), "2030/03/01");
  EXPECT_EQ(list().cell(two, 2), "Owner A");
  EXPECT_EQ(w.store()->FindById(static_cast<int>(toNumber(list().cell(two, 10)))).Registrant, "Owner A");

  // Re-query failed: the button stays disabled and "找不到" rows are looked up.
  click(kIdRequeryFailed);
  EXPECT_FALSE(enabled(kIdRequeryFailed));
  // Busy at once, before the new job's thread gets to the window.
  EXPECT_TRUE(w.jobRunning());
  EXPECT_FALSE(enabled(kIdAdd));
  EXPECT_FALSE(enabled(kIdRequeryAll));
  ASSERT_TRUE(waitForRefresh(2));
  EXPECT_EQ(list().cell(rowOf("one.com"), 5), "2031/02/28");
  EXPECT_FALSE(enabled(kIdRequeryFailed));

  // Re-query all: No keeps everything; Yes clears and looks everything up.
  const size_t before = fetcher_->requestCount();
  prompter_.answer = false;
  click(kIdRequeryAll);
  EXPECT_EQ(prompter_.seen.back().text, "是否重新查询所有域名注册信息?");
  EXPECT_EQ(w.refreshCount(), 2);
  prompter_.answer = true;
  click(kIdRequeryAll);
  ASSERT_TRUE(waitForRefresh(3));
  EXPECT_EQ(fetcher_->requestCount(), before + 4);  // two pages for each domain
}

TEST_F(DomainListTest, AReloadDuringAJobWaitsForTheRowInHandAndShowsOneList) {
  seed({named("hang.com"), stored("b.com", "2040/01/01")});
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(pumpUntil([&] { return fetcher_->hanging(); }));
  EXPECT_TRUE(w.jobRunning());
  click(kIdRequeryFailed);  // reloads while the first job waits on its page
  EXPECT_EQ(list().rowCount(), 2);
  fetcher_->release();
  ASSERT_TRUE(waitForRefresh(1));
  EXPECT_EQ(w.refreshCount(), 1);  // the replaced job never finished a refresh
  EXPECT_EQ(list().rowCount(), 2);
  EXPECT_EQ(list().cell(rowOf("hang.com"), 5), "找不到");
  EXPECT_FALSE(w.jobRunning());
}

TEST_F(DomainListTest, ClosingDuringAHangingFetchIsPromptAndWritesNothing) {
  seed({named("hang.com")});
  // Also when a reload has replaced the job that holds the lookup.
  for (bool reloaded : {false, true}) {
    SCOPED_TRACE(reloaded);
    fetcher_ = std::make_shared<FakeFetcher>();
    MainWindow& w = open(fetcher_);
    ASSERT_TRUE(pumpUntil([&] { return fetcher_->hanging(); }));
    auto job = w.currentJob();
    if (reloaded) click(kIdRequeryFailed);
    auto last = w.currentJob();
    auto store = w.sharedStore();
    HWND h = w.hwnd();
    const DWORD start = GetTickCount();
    SendMessageW(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_LT(GetTickCount() - start, 1000u);
    window_.reset();
    fetcher_->release();
    job->waitUntilDone();
    last->waitUntilDone();
    const auto rows = store->LoadAll();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(store->FindById(rows[0].first).LastUpdate, "");  // the abandoned lookup wrote nothing
  }
}

// A re-check whose page cannot be read keeps the dates the row holds, and
// its old LastUpdate, so the row stays due.
TEST_F(DomainListTest, AFailedLookupKeepsTheStoredDates) {
  DomainRecord busy = stored("busy.com", "2027/01/01");
  busy.BaiduS.clear();  // incomplete: the job looks it up
  const auto ids = seed({busy});
  ASSERT_EQ(ids.size(), 1u);
  open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  EXPECT_FALSE(fetcher_->requests.empty());
  const DomainRecord after = window_->store()->FindById(ids[0]);
  EXPECT_EQ(after.ExpireDate, "2027/01/01");
  EXPECT_EQ(after.RegDate, "2010/01/01");
  EXPECT_EQ(after.LastUpdate, "2026/01/01");
  EXPECT_FALSE(after.BaiduS.empty());
  EXPECT_EQ(list().cell(rowOf("busy.com"), 5), "2027/01/01");
}

}  // namespace
}  // namespace dvx
