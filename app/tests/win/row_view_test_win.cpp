// The domain list as a view of its rows under Wine: what the list shows is
// the row model, results find their rows after a sort, typing finds a row,
// and the selection stays at its place when rows move.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "main_window_harness_win.h"
#include "text/gbk_text.h"
#include "ui/common/wide_win.h"

namespace dvx {
namespace {
using namespace testing_win;

// Holds every request for a URL containing "held" until released, then
// answers it like any other.
class HoldingFetcher : public FakeFetcher {
 public:
  std::string fetchBytes(const std::string& url) override {
    if (url.find("held") != std::string::npos) FakeFetcher::fetchBytes(url + "#hang");
    return FakeFetcher::fetchBytes(url);
  }
};

class RowViewTest : public MainWindowHarness {
 protected:
  ListView list() { return window_->list(); }
  const RowModel& rows() { return window_->rows(); }
  void header(int column) { clickHeader(column); }
  // Every cell of these rows as the list answers for it, against the model.
  void expectListShowsModel(int first, int last) {
    for (int r = first; r <= last; ++r)
      for (int c = 0; c < kListColumnCount; ++c) ASSERT_EQ(list().cell(r, c), rows().cell(r, c)) << r << "," << c;
  }
  int find(const std::string& text, int start, UINT flags) {
    const std::wstring w = toWide(text);
    LVFINDINFOW info{};
    info.flags = flags;
    info.psz = w.c_str();
    return static_cast<int>(SendMessageW(list().hwnd(), LVM_FINDITEMW, static_cast<WPARAM>(start),
                                         reinterpret_cast<LPARAM>(&info)));
  }
  int focusedRow() {
    return static_cast<int>(SendMessageW(list().hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  }
  std::shared_ptr<HoldingFetcher> fetcher_ = std::make_shared<HoldingFetcher>();
};

TEST_F(RowViewTest, EveryShownCellIsTheModelsInEveryOrder) {
  std::vector<DomainRecord> records;
  for (int i = 0; i < 60; ++i) {
    DomainRecord r = stored("site" + std::to_string(i) + ".com", "20" + std::to_string(30 + i % 7) + "/01/01",
                            i % 3 ? "Registrar " + std::to_string(i % 5) : "：  新网数码 ");
    r.Registrant = i % 2 ? "所有者" + std::to_string(i) : "";
    r.AAA1 = std::to_string(i);
    records.push_back(r);
  }
  seed(records);
  writeSetting("按过期日期排序", "假");
  open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  ASSERT_EQ(list().rowCount(), 60);
  ASSERT_EQ(rows().rowCount(), 60);
  // The model holds the stored rows as the list is to show them.
  EXPECT_EQ(rows().cell(0, 1), "site0.com");
  EXPECT_EQ(rows().cell(0, 6), "新网数码 ");
  EXPECT_EQ(rows().cell(1, 2), "所有者1");
  EXPECT_EQ(rows().cell(59, 0), "60");
  EXPECT_EQ(rows().cell(59, 8), "59");
  expectListShowsModel(0, 59);
  LVITEMW icon{};
  icon.mask = LVIF_IMAGE;
  icon.iItem = 7;
  ASSERT_TRUE(SendMessageW(list().hwnd(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&icon)));
  EXPECT_EQ(icon.iImage, 81);

  // Scrolled to the end and painted: the rows on screen are the model's last.
  SendMessageW(list().hwnd(), LVM_ENSUREVISIBLE, 59, FALSE);
  UpdateWindow(list().hwnd());
  const int top = static_cast<int>(SendMessageW(list().hwnd(), LVM_GETTOPINDEX, 0, 0));
  const int perPage = static_cast<int>(SendMessageW(list().hwnd(), LVM_GETCOUNTPERPAGE, 0, 0));
  EXPECT_GT(top, 0);
  EXPECT_GE(top + perPage, 59);
  expectListShowsModel(top, 59);

  // Sorted by the registrar, then by the number column: still the model's.
  header(6);
  for (int r = 1; r < 60; ++r) EXPECT_LE(asciiUpper(rows().cell(r - 1, 6)), asciiUpper(rows().cell(r, 6)));
  EXPECT_EQ(rows().cell(0, 0), "1");
  expectListShowsModel(0, 59);
  header(0);  // descending: the numbers travel with their rows
  EXPECT_EQ(list().cell(0, 0), "60");
  expectListShowsModel(0, 59);
}

TEST_F(RowViewTest, AJobResultReachesTheRowThatASortMoved) {
  seed({named("held.com"), stored("a.com", "2040/01/01", "Keep A"), stored("b.com", "2041/01/01", "Keep B")});
  fetcher_->pages["https://whois.aizhan.com/held.com/"] =
      u8"<table><tr><td>注册时间</td><td>2015-03-01</td></tr><tr><td>过期时间</td><td>2030-03-01</td></tr>"
      u8"<tr><td>注册商</td><td>Found Registrar</td></tr></table>";
  writeSetting("按过期日期排序", "假");
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(pumpUntil([&] { return fetcher_->hanging(); }));
  ASSERT_EQ(list().cell(0, 1), "held.com");
  header(1);  // by name, ascending: held.com moves from the first row to the last
  ASSERT_EQ(list().cell(0, 1), "a.com");
  ASSERT_EQ(list().cell(2, 1), "held.com");
  fetcher_->release();
  ASSERT_TRUE(waitForRefresh());
  EXPECT_EQ(list().cell(2, 5), "2030/03/01");
  EXPECT_EQ(list().cell(2, 6), "Found Registrar");
  // The row that took its old place keeps its own texts.
  EXPECT_EQ(list().cell(0, 1), "a.com");
  EXPECT_EQ(list().cell(0, 5), "2040/01/01");
  EXPECT_EQ(list().cell(0, 6), "Keep A");
  EXPECT_EQ(w.store()->FindById(rows().id(2)).ExpireDate, "2030/03/01");
  expectListShowsModel(0, 2);
}

TEST_F(RowViewTest, TypingTheStartOfARowNumberSelectsThatRow) {
  std::vector<DomainRecord> records;
  for (int i = 0; i < 12; ++i) records.push_back(stored("n" + std::to_string(i) + ".com", "2040/01/01", "R"));
  seed(records);
  writeSetting("按过期日期排序", "假");
  open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  ASSERT_EQ(list().selectedRow(), -1);
  // A key typed into the list: the first row whose number starts with it.
  SendMessageW(list().hwnd(), WM_CHAR, L'3', 1);
  EXPECT_EQ(list().selectedRow(), 2);
  EXPECT_EQ(focusedRow(), 2);
  EXPECT_TRUE(IsWindowEnabled(window_->control(kIdDelete)));  // the selection change reached the window

  // The search the list makes for typed text: a prefix, from a start row,
  // wrapping to the first row; the exact search needs the whole number.
  EXPECT_EQ(find("1", 0, LVFI_PARTIAL | LVFI_WRAP), 0);
  EXPECT_EQ(find("1", 1, LVFI_PARTIAL | LVFI_WRAP), 9);  // "10"
  EXPECT_EQ(find("12", 0, LVFI_PARTIAL | LVFI_WRAP), 11);
  EXPECT_EQ(find("3", 5, LVFI_PARTIAL | LVFI_WRAP), 2);
  EXPECT_EQ(find("3", 5, LVFI_PARTIAL), -1);
  EXPECT_EQ(find("1", 1, LVFI_STRING | LVFI_WRAP), 0);
  EXPECT_EQ(find("13", 0, LVFI_PARTIAL | LVFI_WRAP), -1);

  // After a descending sort by number the search follows what is shown.
  header(0);
  header(0);
  ASSERT_EQ(list().cell(0, 0), "12");
  EXPECT_EQ(find("3", 0, LVFI_PARTIAL | LVFI_WRAP), 9);
  EXPECT_EQ(find("1", 1, LVFI_PARTIAL | LVFI_WRAP), 1);  // "11"
}

TEST_F(RowViewTest, TheSelectionStaysAtItsPlaceWhenASortMovesTheRows) {
  seed({stored("c.com", "2042/01/01", "R"), stored("a.com", "2040/01/01", "R"),
        stored("d.com", "2043/01/01", "R"), stored("b.com", "2041/01/01", "R")});
  writeSetting("按过期日期排序", "假");
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  list().selectRow(1);
  ASSERT_EQ(list().cell(1, 1), "a.com");
  header(1);  // by name: a b c d
  EXPECT_EQ(list().cell(1, 1), "b.com");
  EXPECT_EQ(list().selectedRow(), 1);
  EXPECT_EQ(focusedRow(), 1);
  EXPECT_EQ(SendMessageW(list().hwnd(), LVM_GETSELECTEDCOUNT, 0, 0), 1);
  EXPECT_TRUE(IsWindowEnabled(w.control(kIdDelete)));
  // The commands act on the row shown there now.
  prompter_.answer = false;
  SendMessageW(w.control(kIdDelete), BM_CLICK, 0, 0);
  ASSERT_FALSE(prompter_.seen.empty());
  EXPECT_EQ(prompter_.seen.back().text, "是否删除 b.com ？");
  header(5);  // by expiry, descending: d c b a
  EXPECT_EQ(list().cell(1, 1), "c.com");
  EXPECT_EQ(list().selectedRow(), 1);
  EXPECT_EQ(SendMessageW(list().hwnd(), LVM_GETSELECTEDCOUNT, 0, 0), 1);
  // Deleting it leaves no row selected, as in any list.
  prompter_.answer = true;
  SendMessageW(w.control(kIdDelete), BM_CLICK, 0, 0);
  EXPECT_EQ(prompter_.seen.back().text, "是否删除 c.com ？");
  ASSERT_EQ(list().rowCount(), 3);
  EXPECT_EQ(list().cell(1, 1), "b.com");
  EXPECT_EQ(list().cell(1, 0), "2");
  EXPECT_EQ(list().selectedRow(), -1);
  expectListShowsModel(0, 2);
}

}  // namespace
}  // namespace dvx
