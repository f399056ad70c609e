// The main window under Wine: frame, captions, start-up and settings.
#include <windows.h>
#include <commctrl.h>
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <memory>

#include "startup/file_platform_win.h"
#include "startup/profile_file.h"
#include "main_window_harness_win.h"
#include "text/codepage.h"
#include "ui/window/main_window_win.h"
#include "ui/common/wide_win.h"

namespace dvx {
namespace {
using namespace testing_win;

using MainWindowTest = MainWindowHarness;

TEST_F(MainWindowTest, FrameControlsAndCaptionsAreAsDesigned) {
  MainWindow& w = open();
  EXPECT_EQ(windowText(w.hwnd()), "Domivex v15.0");
  RECT wr{};
  GetWindowRect(w.hwnd(), &wr);
  EXPECT_EQ(wr.left, 50);
  EXPECT_EQ(wr.top, 50);
  EXPECT_EQ(wr.right - wr.left, 926);
  EXPECT_EQ(wr.bottom - wr.top, 467);

  struct Expect {
    int id;
    const char* text;
    int x, y, cx, cy;
    bool enabled;
  };
  const Expect controls[] = {
      {kIdList, "", 7, 7, 905, 346, true},
      {kIdHint1, "本软件能批量查询域名过期日期,以便您及时续费", 17, 368, 407, 24, false},
      {kIdHint2, "软件将不断升级增强功能,欢迎大家提出宝贵意见和建议!", 17, 396, 367, 24, false},
      {kIdSortCheck, "按过期日期排序", 340, 369, 113, 24, true},
      {kIdTitleCheck, "取标题(&T)", 464, 366, 83, 28, true},
      {kIdRequeryFailed, "重查错误项", 464, 395, 83, 28, true},
      {kIdAdd, "添加(&A)", 549, 366, 83, 28, false},  // held until the start-up query job ends
      {kIdDelete, "删除选中(&D)", 633, 366, 83, 28, false},
      {kIdRequeryOne, "重查选中(&C)", 717, 366, 83, 28, false},
      {kIdRequeryAll, "全部重查(&F)", 800, 366, 83, 28, false},
      {kIdExport, "导出(&L)", 633, 395, 83, 28, true},
      {kIdHelp, "帮助(&H)", 717, 395, 83, 28, true},
      {kIdClose, "关闭(&E)", 800, 395, 83, 28, true},
  };
  for (const Expect& e : controls) {
    SCOPED_TRACE(e.id);
    HWND c = w.control(e.id);
    ASSERT_NE(c, nullptr);
    const RECT r = childRect(c);
    EXPECT_EQ(r.left, e.x);
    EXPECT_EQ(r.top, e.y);
    EXPECT_EQ(r.right - r.left, e.cx);
    EXPECT_EQ(r.bottom - r.top, e.cy);
    EXPECT_EQ(windowText(c), e.text);
    EXPECT_EQ(IsWindowEnabled(c) != FALSE, e.enabled);
  }

  const char* titles[] = {"编号", "域名 (双击修改)", "所有者", "管理员", "注册日期", "过期日期",
                          "域名商", "百度收录", "百度关键词", "Google收录", "ID"};
  const int widths[] = {46, 180, 0, 0, 120, 120, 150, 80, 0, 0, 0};
  HWND list = w.control(kIdList);
  EXPECT_EQ(w.list().columnCount(), 11);
  EXPECT_TRUE(w.list().isReport());
  for (int i = 0; i < 11; ++i) {
    wchar_t buf[64] = {};
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = buf;
    col.cchTextMax = 64;
    ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&col)));
    EXPECT_EQ(fromWide(buf), titles[i]);
    EXPECT_EQ(col.cx, widths[i]);
  }
  const DWORD ex = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_TRUE(ex & LVS_EX_FULLROWSELECT);
  EXPECT_TRUE(ex & LVS_EX_GRIDLINES);
  EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & LVS_SINGLESEL);
  ASSERT_TRUE(waitForRefresh());
  EXPECT_TRUE(IsWindowEnabled(w.control(kIdAdd)));
  close();
}

TEST_F(MainWindowTest, FirstStartCreatesAnEmptyDatabaseAndTicksTheSortOption) {
  MainWindow& w = open();
  EXPECT_TRUE(fileExists(dir_.path() + "\\domains.mdb"));
  EXPECT_EQ(w.list().rowCount(), 0);
  EXPECT_EQ(SendMessageW(w.control(kIdSortCheck), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(prompter_.seen.empty());
  close();
  // Closing in the normal state remembers 0.
  EXPECT_EQ(setting("位置"), "0");
}

TEST_F(MainWindowTest, WindowStateIsSavedOnCloseAndRestoredOnTheNextStart) {
  struct Case {
    int show;
    const char* saved;
    int expectedShow;
  };
  const Case cases[] = {{SW_MAXIMIZE, "3", SW_SHOWMAXIMIZED},
                        {SW_MINIMIZE, "2", SW_SHOWMINIMIZED},
                        {SW_RESTORE, "0", SW_SHOWNORMAL}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.saved);
    MainWindow& w = open();
    w.show();
    ShowWindow(w.hwnd(), c.show);
    close();
    EXPECT_EQ(setting("位置"), c.saved);
    MainWindow& again = open();
    EXPECT_EQ(again.initialShowCommand(), c.expectedShow);
    again.show();
    EXPECT_EQ(IsZoomed(again.hwnd()) != FALSE, c.expectedShow == SW_SHOWMAXIMIZED);
    EXPECT_EQ(IsIconic(again.hwnd()) != FALSE, c.expectedShow == SW_SHOWMINIMIZED);
    ShowWindow(again.hwnd(), SW_RESTORE);
    close();
  }
  // A value that is not a number leaves the window in its normal state.
  writeSetting("位置", "abc");
  EXPECT_EQ(open().initialShowCommand(), SW_SHOWNORMAL);
  close();
}

TEST_F(MainWindowTest, SortOptionFollowsTheSettingAndWritesItWhenClicked) {
  writeSetting("按过期日期排序", "假");
  MainWindow& w = open();
  HWND check = w.control(kIdSortCheck);
  EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  SendMessageW(check, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(setting("按过期日期排序"), "真");
  ASSERT_EQ(prompter_.seen.size(), 1u);
  EXPECT_EQ(prompter_.seen[0].text, "您的修改将在下次重新打开软件时生效!");
  EXPECT_EQ(prompter_.seen[0].caption, "提示");
  EXPECT_EQ(prompter_.seen[0].icon, PromptIcon::Question);
  SendMessageW(check, BM_CLICK, 0, 0);
  EXPECT_EQ(setting("按过期日期排序"), "假");
  EXPECT_EQ(prompter_.seen.size(), 2u);  // the notice shows every time
  close();
  EXPECT_EQ(SendMessageW(open().control(kIdSortCheck), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  close();
}

TEST_F(MainWindowTest, AnOldDatabaseIsCarriedOverAndTheProgramEnds) {
  // An older, narrower file with two rows.
  const std::string oldPath = dir_.path() + "\\domain.mdb";
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(gbkToUtf8(oldPath).c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "CREATE TABLE Domains(id INTEGER PRIMARY KEY AUTOINCREMENT, Domain TEXT, RegDate TEXT,"
                         " ExpireDate TEXT, BaiduS TEXT, GoogleS TEXT, LastUpdate TEXT);"
                         "INSERT INTO Domains(id, Domain, RegDate) VALUES(7, 'b.com', '2001/01/01');"
                         "INSERT INTO Domains(id, Domain) VALUES(9, 'a.com');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);

  MainWindow& w = open();
  EXPECT_TRUE(w.migrated());
  ASSERT_EQ(prompter_.seen.size(), 1u);
  EXPECT_EQ(prompter_.seen[0].text, "软件扩展了数据库字段数,请重打开软件");
  EXPECT_EQ(prompter_.seen[0].caption, "提示");
  HWND h = w.hwnd();
  EXPECT_TRUE(pumpUntil([&] { return !IsWindow(h); }));
  window_.reset();
  EXPECT_FALSE(fileExists(oldPath));
  EXPECT_TRUE(fileExists("C:\\Program Files\\3d\\domain.mdb_old_Bak"));
  removeFile("C:\\Program Files\\3d\\domain.mdb_old_Bak");

  // The second start runs normally and shows the carried rows in the old order.
  MainWindow& second = open();
  EXPECT_FALSE(second.migrated());
  ASSERT_EQ(second.list().rowCount(), 2);
  EXPECT_EQ(second.list().cell(0, 1), "b.com");
  EXPECT_EQ(second.list().cell(0, 10), "1");
  EXPECT_EQ(second.list().cell(1, 1), "a.com");
  EXPECT_EQ(second.list().cell(1, 10), "2");
  EXPECT_EQ(second.list().cell(1, 0), "2");
  close();
}

TEST_F(MainWindowTest, AnUnreadableOldDatabaseDoesNotEndEveryStart) {
  // Nothing can be carried: the store says why, the old file stays, and the
  // program runs on with domains.mdb instead of closing at every start.
  const std::string oldPath = dir_.path() + "\\domain.mdb";
  ASSERT_TRUE(files_.writeWholeFile(oldPath, std::string(300, 'x')));
  MainWindow& w = open();
  ASSERT_FALSE(w.migrated());
  ASSERT_FALSE(prompter_.seen.empty());
  for (const auto& p : prompter_.seen) EXPECT_NE(p.text, "软件扩展了数据库字段数,请重打开软件");
  HWND h = w.hwnd();
  EXPECT_FALSE(pumpUntil([&] { return !IsWindow(h); }, 300));
  ASSERT_TRUE(waitForRefresh());
  EXPECT_TRUE(fileExists(oldPath));
  EXPECT_TRUE(fileExists(dir_.path() + "\\domains.mdb"));
  close();
}

// Run by startup_drives.sh, which removes or adds the prefix's drive D:.
TEST(DISABLED_DriveChoice, NoDriveD) {
  ASSERT_FALSE(fileExists("D:\\"));
  removeFile(settingsFileWithoutD());
  TempDir dir;
  RecordingPrompter prompter;
  WinFilePlatform files;
  MainWindowOptions o;
  o.programDir = dir.path();
  o.prompter = &prompter;
  o.files = &files;
  o.quitOnDestroy = false;
  {
    MainWindow w(o);
    ASSERT_NE(w.create(GetModuleHandleW(nullptr)), nullptr);
    EXPECT_EQ(w.settings().file(), settingsFileWithoutD());
    EXPECT_TRUE(fileExists("C:\\Program Files\\3d"));
    EXPECT_FALSE(fileExists("C:\\Program Files\\3d\\\\用户注意.txt"));
  }
  EXPECT_EQ(readProfileString(settingsFileWithoutD(), "Domivex", "位置", ""), "0");
}

TEST(DISABLED_DriveChoice, WithDriveD) {
  ASSERT_TRUE(fileExists("D:\\"));
  TempDir dir;
  RecordingPrompter prompter;
  WinFilePlatform files;
  MainWindowOptions o;
  o.programDir = dir.path();
  o.prompter = &prompter;
  o.files = &files;
  o.quitOnDestroy = false;
  {
    MainWindow w(o);
    ASSERT_NE(w.create(GetModuleHandleW(nullptr)), nullptr);
    EXPECT_EQ(w.settings().file(), "D:\\Veltro\\Veltrosoft.p");
  }
  const std::string notice = readFileBytes("D:\\Veltro\\用户注意.txt");
  EXPECT_EQ(notice, std::string(kNoticeText));
  EXPECT_EQ(notice.substr(0, 4), "\xB1\xBE\xC4\xBF");  // "本目" in GBK
  // The window state was written on close, so the settings file exists now.
  EXPECT_EQ(readProfileString("D:\\Veltro\\Veltrosoft.p", "Domivex", "位置", ""), "0");
  EXPECT_NE(readFileBytes("D:\\Veltro\\Veltrosoft.p").find("\xCE\xBB\xD6\xC3=0"), std::string::npos);
}

}  // namespace
}  // namespace dvx
