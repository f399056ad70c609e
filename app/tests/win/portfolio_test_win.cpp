// The main window's portfolio commands under Wine: files dropped on it end as
// rows in the store, the find box and F3 walk the domain column, and the CSV
// export writes the columns the list shows.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "main_window_harness_win.h"
#include "ui/common/wide_win.h"
#include "ui/dialogs/add_domains_dialog_win.h"

namespace dvx {
namespace {
using namespace testing_win;

void writeWide(const std::wstring& path, const std::string& bytes) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD put = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
  CloseHandle(h);
}

// What Explorer hands a window when files are dropped on it: a DROPFILES
// block with the wide paths, each ended by a NUL, the list by another.
HDROP makeDrop(const std::vector<std::wstring>& paths) {
  std::wstring list;
  for (const std::wstring& p : paths) list += p + L'\0';
  list += L'\0';
  const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
  HGLOBAL mem = GlobalAlloc(GHND, bytes);
  auto* drop = static_cast<DROPFILES*>(GlobalLock(mem));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
  GlobalUnlock(mem);
  return static_cast<HDROP>(mem);
}

class PortfolioTest : public MainWindowHarness {
 protected:
  void SetUp() override {
    MainWindowHarness::SetUp();
    writeSetting("按过期日期排序", "假");  // the list keeps the store's order
  }
  std::shared_ptr<FakeFetcher> fetcher_ = std::make_shared<FakeFetcher>();
  int rowOf(const std::string& domain) {
    for (int r = 0; r < window_->rows().rowCount(); ++r)
      if (window_->rows().cell(r, 1) == domain) return r;
    return -1;
  }
  int selected() { return window_->list().selectedRow(); }
  void pressFindNext(HWND box) {
    SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  }
  const RecordingPrompter::Entry* summary() {
    for (const auto& e : prompter_.seen)
      if (e.text.rfind("导入完成", 0) == 0) return &e;
    return nullptr;
  }
};

TEST_F(PortfolioTest, FilesDroppedOnTheMainWindowEndAsRowsInTheStore) {
  seed({named("old.com")});
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  const std::wstring dir = toWide(dir_.path());
  // A registrar's table in UTF-8 with its mark, under a name GBK cannot
  // hold (read by its wide path, never squeezed through GBK); a plain list;
  // a file that is not there.
  const std::wstring table = dir + L"\\域名 도메인.csv";
  writeWide(table, "\xEF\xBB\xBF" "Domain,Registrar,Expires\r\n"
                   "A-Example.com,Reg One,2030-01-01\r\n"
                   "\"beispiel.net\",\"Reg, Two\",2031-02-02\r\n"
                   ",no domain here,\r\n"
                   "old.com,R,2030-03-03\r\n");
  writeWide(dir + L"\\list.txt", "from-text.org\r\na-example.com\r\n");

  SendMessageW(w.hwnd(), WM_DROPFILES,
               reinterpret_cast<WPARAM>(makeDrop({table, dir + L"\\list.txt", dir + L"\\gone.csv"})), 0);
  ASSERT_TRUE(pumpUntil([&] { return summary() != nullptr; }, 30000));
  ASSERT_TRUE(waitForRefresh(2));

  std::vector<std::string> stored;
  for (const auto& row : w.store()->LoadAll()) stored.push_back(row.second);
  std::sort(stored.begin(), stored.end());
  EXPECT_EQ(stored, (std::vector<std::string>{"a-example.com", "beispiel.net", "from-text.org", "old.com"}));
  EXPECT_EQ(w.rows().rowCount(), 4);

  // Told once: the counts, and the file that could not be read by name.
  const std::string text = summary()->text;
  EXPECT_EQ(text.rfind("导入完成: 新增 3 个, 已存在 2 个, 跳过 1 行", 0), 0u) << text;
  EXPECT_NE(text.find("gone.csv"), std::string::npos) << text;
  EXPECT_EQ(std::count_if(prompter_.seen.begin(), prompter_.seen.end(),
                          [](const RecordingPrompter::Entry& e) { return !e.question; }),
            1);
  EXPECT_FALSE(w.addJobRunning());
}

TEST_F(PortfolioTest, FilesDroppedOnTheAddDialogAreImportedWithTheTypedText) {
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  const std::wstring file = toWide(dir_.path()) + L"\\names.txt";
  writeWide(file, "from-file.org\r\n");
  whenWindowAppears("添加新域名", [&](HWND dialog) {
    setWindowText(findDescendant(dialog, AddDomainsDialog::kIdInput), "typed.com");
    SendMessageW(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({file})), 0);
  });
  SendMessageW(w.control(kIdAdd), BM_CLICK, 0, 0);  // returns once the dialog has closed
  ASSERT_TRUE(pumpUntil([&] { return summary() != nullptr; }, 30000));
  ASSERT_TRUE(waitForRefresh(2));
  std::vector<std::string> stored;
  for (const auto& row : w.store()->LoadAll()) stored.push_back(row.second);
  std::sort(stored.begin(), stored.end());
  EXPECT_EQ(stored, (std::vector<std::string>{"from-file.org", "typed.com"}));
  EXPECT_EQ(summary()->text.rfind("导入完成: 新增 2 个, 已存在 0 个, 跳过 0 行", 0), 0u) << summary()->text;
}

TEST_F(PortfolioTest, TheSystemMenuImportsSeveralPickedFilesAndLeavesTheRestToWindows) {
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  HMENU menu = GetSystemMenu(w.hwnd(), FALSE);
  wchar_t text[64] = {};
  GetMenuStringW(menu, kSysImportFiles, text, 64, MF_BYCOMMAND);
  EXPECT_EQ(fromWide(text), "导入文件...");
  GetMenuStringW(menu, kSysExportCsv, text, 64, MF_BYCOMMAND);
  EXPECT_EQ(fromWide(text), "导出 CSV...");

  // Two files picked at once in the open dialog, which starts in the data
  // directory: it hands back the folder and then each name.
  const std::wstring folder = w.hosts().dataDir.wstring();
  writeWide(folder + L"a.txt", "picked-a.com\r\n");
  writeWide(folder + L"b.csv", "Domain,Note\r\npicked-b.com,x\r\n");
  whenWindowAppears("导入文件", [](HWND dialog) {
    HWND name = findDescendant(dialog, 0x480);  // edt1, or the combo box cmb13
    if (!name) name = findDescendant(dialog, 0x47C);
    SetWindowTextW(name, L"\"a.txt\" \"b.csv\"");
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  SendMessageW(w.hwnd(), WM_SYSCOMMAND, kSysImportFiles, 0);
  ASSERT_TRUE(pumpUntil([&] { return summary() != nullptr; }, 30000));
  EXPECT_EQ(summary()->text.rfind("导入完成: 新增 2 个, 已存在 0 个, 跳过 0 行", 0), 0u) << summary()->text;
  ASSERT_TRUE(waitForRefresh(2));
  EXPECT_GE(rowOf("picked-a.com"), 0);
  EXPECT_GE(rowOf("picked-b.com"), 0);

  // The system's own commands still reach it.
  SendMessageW(w.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(w.hwnd()));
}

TEST_F(PortfolioTest, FindWalksTheDomainColumnAndWrapsOnce) {
  seed({named("alpha.com"), named("beta.net"), named("gamma-ALPHA.org"), named("delta.com"), named("alphabet.io")});
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  const int first = rowOf("alpha.com"), middle = rowOf("gamma-alpha.org"), last = rowOf("alphabet.io");
  ASSERT_TRUE(first >= 0 && first < middle && middle < last);
  w.list().selectRow(last);

  // Ctrl+F's command: the box opens with the focus in its text.
  SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kIdFindOpen, 1), 0);
  HWND box = w.findBox().hwnd();
  ASSERT_TRUE(box && IsWindowVisible(box));
  HWND edit = GetDlgItem(box, FindBox::kIdText);
  EXPECT_EQ(GetFocus(), edit);
  setWindowText(edit, "Alpha");
  MSG enter{edit, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};  // "查找下一个" is the default button
  EXPECT_TRUE(w.translateMessage(enter));
  EXPECT_EQ(selected(), first);  // past the last row, round to the first

  // F3 through the message loop's first step, from the list.
  MSG f3{w.list().hwnd(), WM_KEYDOWN, VK_F3, 0x003D0001, 0, {0, 0}};
  EXPECT_TRUE(w.translateMessage(f3));
  EXPECT_EQ(selected(), middle);

  // Esc in the box hides it; F3 still searches, now upwards.
  MSG esc{edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001, 0, {0, 0}};
  EXPECT_TRUE(w.translateMessage(esc));
  EXPECT_FALSE(IsWindowVisible(box));
  SendMessageW(GetDlgItem(box, FindBox::kIdUp), BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(GetDlgItem(box, FindBox::kIdDown), BM_SETCHECK, BST_UNCHECKED, 0);
  SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kIdFindAgain, 1), 0);
  EXPECT_EQ(selected(), first);
  SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kIdFindAgain, 1), 0);
  EXPECT_EQ(selected(), last);  // upwards from the first row wraps to the last match

  // No match: the selection stays and the box says so.
  SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kIdFindOpen, 1), 0);
  setWindowText(edit, "zeta");
  pressFindNext(box);
  EXPECT_EQ(selected(), last);
  EXPECT_EQ(w.findBox().status(), "找不到 \"zeta\"");
}

TEST_F(PortfolioTest, CsvExportWritesTheColumnsTheListShows) {
  seed({stored("one.com", "2030/01/01", "Reg A"), stored("two.com", "2031/01/01", "Reg B")});
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh());
  HWND list = w.list().hwnd();
  // The user dragged "百度收录" shut and "所有者" open.
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 7, 0);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, 60);
  const std::wstring path = toWide(dir_.path()) + L"\\Domivex_导出.csv";
  ASSERT_TRUE(w.exportCsvTo(path));
  const std::string bytes = readFileBytes(dir_.path() + "\\Domivex_导出.csv");
  const std::string header = u8"\xEF\xBB\xBF编号,域名 (双击修改),所有者,注册日期,过期日期,域名商\r\n";
  ASSERT_EQ(bytes.substr(0, header.size()), header);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 3);
}

}  // namespace
}  // namespace dvx
