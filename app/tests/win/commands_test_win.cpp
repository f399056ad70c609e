// The main window's dialogs and workers, driven through its buttons.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>

#include "main_window_harness_win.h"
#include "text/gbk_text.h"
#include "ui/dialogs/add_domains_dialog_win.h"
#include "ui/dialogs/modify_domain_dialog_win.h"
#include "ui/dialogs/process_launcher.h"
#include "ui/common/wide_win.h"

namespace dvx {
namespace {
using namespace testing_win;

class RecordingLauncher : public ProcessLauncher {
 public:
  std::vector<std::string> lines;
  void launch(const std::string& line) override { lines.push_back(line); }
};

class CommandsTest : public MainWindowHarness {
 protected:
  MainWindow& openWithLauncher() {
    MainWindow& w = open(fetcher_);
    return w;
  }
  void click(int id) { SendMessageW(window_->control(id), BM_CLICK, 0, 0); }
  std::string names() {
    std::string s;
    ListView lv = window_->list();
    for (int r = 0; r < lv.rowCount(); ++r) s += lv.cell(r, 1) + " ";
    return s;
  }
  void doubleClick(int row) {
    window_->list().selectRow(row);
    NMITEMACTIVATE nm{};
    nm.hdr.hwndFrom = window_->list().hwnd();
    nm.hdr.idFrom = kIdList;
    nm.hdr.code = NM_DBLCLK;
    nm.iItem = row;
    SendMessageW(window_->hwnd(), WM_NOTIFY, kIdList, reinterpret_cast<LPARAM>(&nm));
  }
  // Types into the dialog's box and presses a button once it is up.
  void answerDialog(const std::string& caption, int boxId, const std::string& text, int button) {
    whenWindowAppears(caption, [=](HWND dialog) {
      HWND box = findDescendant(dialog, boxId);
      ASSERT_NE(box, nullptr);
      setWindowText(box, text);
      SendMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
    });
  }
  std::shared_ptr<FakeFetcher> fetcher_ = std::make_shared<FakeFetcher>();
};

TEST_F(CommandsTest, AddStoresOneNameForABatchOfSpellingsAndReloads) {
  writeSetting("按过期日期排序", "假");  // keep the stored order
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh(1));
  answerDialog("添加新域名", AddDomainsDialog::kIdInput, "Example.com\r\n\r\nwww.example.com\r\n  EXAMPLE.COM \r\nb.com", IDOK);
  click(kIdAdd);
  EXPECT_FALSE(IsWindowEnabled(w.control(kIdAdd)));
  EXPECT_FALSE(IsWindowEnabled(w.control(kIdRequeryFailed)));  // it would reload beside the add
  ASSERT_TRUE(waitForRefresh(2));
  EXPECT_EQ(names(), "example.com b.com ");
  EXPECT_TRUE(IsWindowEnabled(w.control(kIdAdd)));
  EXPECT_TRUE(IsWindowEnabled(w.control(kIdRequeryFailed)));
  EXPECT_FALSE(w.addJobRunning());

  // An empty box just closes: no reload.
  answerDialog("添加新域名", AddDomainsDialog::kIdInput, "", IDOK);
  click(kIdAdd);
  EXPECT_FALSE(w.addJobRunning());
  EXPECT_FALSE(pumpUntil([&] { return w.refreshCount() > 2; }, 300));

  // Names already stored: nothing added, the list is still reloaded.
  answerDialog("添加新域名", AddDomainsDialog::kIdInput, "b.com", IDOK);
  click(kIdAdd);
  ASSERT_TRUE(waitForRefresh(3));
  EXPECT_EQ(names(), "example.com b.com ");
}

TEST_F(CommandsTest, DoubleClickRenamesWithTheCleanedNameAndKeepsTheRecord) {
  DomainRecord old;
  old.Domain = "old.com";
  old.RegDate = "2010/01/01";
  old.ExpireDate = "2040/01/01";
  old.BaiduS = "3";
  old.LastUpdate = "2026/01/01";
  old.Registeracom = "R";
  const int id = seed({old})[0];
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh(1));

  // The same text: nothing written, no reload.
  answerDialog("修改域名", ModifyDomainDialog::kIdName, "old.com", IDOK);
  doubleClick(0);
  EXPECT_FALSE(pumpUntil([&] { return w.refreshCount() > 1; }, 300));

  // A text that cleans to nothing changes nothing.
  answerDialog("修改域名", ModifyDomainDialog::kIdName, "www.", IDOK);
  doubleClick(0);
  EXPECT_EQ(w.store()->FindById(id).Domain, "old.com");

  // A changed name is cleaned, stored and shown; the dates stay.
  answerDialog("修改域名", ModifyDomainDialog::kIdName, " http://WWW.New.com/x ", IDOK);
  doubleClick(0);
  ASSERT_TRUE(waitForRefresh(2));
  EXPECT_EQ(names(), "new.com ");
  EXPECT_EQ(w.store()->FindById(id).Domain, "new.com");
  EXPECT_EQ(w.store()->FindById(id).ExpireDate, "2040/01/01");
  EXPECT_TRUE(fetcher_->requests.empty());
}

TEST_F(CommandsTest, DoubleClickIsRefusedWhileAJobRuns) {
  seed({named("hang.com")});
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(pumpUntil([&] { return fetcher_->hanging(); }));
  bool opened = false;
  whenWindowAppears("修改域名", [&](HWND d) {
    opened = true;
    SendMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0);
  });
  doubleClick(0);
  EXPECT_FALSE(opened);
  fetcher_->release();
  ASSERT_TRUE(waitForRefresh(1));
  doubleClick(0);
  EXPECT_TRUE(opened);
  (void)w;
}

TEST_F(CommandsTest, TitleCheckShowsTitlesAndWarningsAndComesBack) {
  seed({named("good.com"), named("bad.com"), named("down.com")});
  fetcher_->pages["http://good.com"] = "<html><TITLE>Good\r\nSite</TITLE></html>";
  fetcher_->pages["http://bad.com"] = "<title>Home</title><p>六合 and 博彩 and -999</p>";
  writeSetting("按过期日期排序", "假");
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh(1));
  prompter_.answer = false;
  click(kIdTitleCheck);
  EXPECT_EQ(prompter_.seen.back().text, "软件将获取每个网站的标题,以便您判断网站是否正常,是否继续?");
  EXPECT_EQ(prompter_.seen.back().caption, "提示");
  EXPECT_TRUE(IsWindowEnabled(w.control(kIdTitleCheck)));
  prompter_.answer = true;
  click(kIdTitleCheck);
  ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(w.control(kIdTitleCheck)) != FALSE; }));
  ListView lv = w.list();
  EXPECT_EQ(lv.cell(0, 4), "Good\r\nSite");
  EXPECT_EQ(lv.cell(1, 4), "(警告!检测到危险关键词! -999 六合 博彩 )Home");
  EXPECT_EQ(lv.cell(2, 4), "未正确获取到!");
  // Nothing is stored.
  EXPECT_EQ(w.store()->FindById(static_cast<int>(toNumber(lv.cell(0, 10)))).RegDate, "找不到");
}

TEST_F(CommandsTest, TitleCheckFollowsEachRecordThroughASortAndADelete) {
  seed({stored("c.com", "2040/01/01"), stored("hang.com", "2040/01/02"), stored("a.com", "2040/01/03"),
        stored("d.com", "2040/01/04")});
  for (const char* site : {"a", "c", "d"})
    fetcher_->pages[std::string("http://") + site + ".com"] = std::string("<title>") + site + "</title>";
  writeSetting("按过期日期排序", "假");
  MainWindow& w = open(fetcher_);
  ASSERT_TRUE(waitForRefresh(1));
  ASSERT_EQ(names(), "c.com hang.com a.com d.com ");
  prompter_.answer = true;
  click(kIdTitleCheck);
  // On the second site: a header click sorts by name, then d.com goes.
  ASSERT_TRUE(pumpUntil([&] { return fetcher_->hanging(); }));
  clickHeader(1);
  ASSERT_EQ(names(), "a.com c.com d.com hang.com ");
  w.list().selectRow(2);
  click(kIdDelete);
  ASSERT_EQ(names(), "a.com c.com hang.com ");
  fetcher_->release();
  ASSERT_TRUE(pumpUntil([&] { return IsWindowEnabled(w.control(kIdTitleCheck)) != FALSE; }));

  ListView lv = w.list();
  EXPECT_EQ(lv.cell(0, 4), "a");
  EXPECT_EQ(lv.cell(1, 4), "c");
  EXPECT_EQ(lv.cell(2, 4), "未正确获取到!");
  std::map<std::string, int> asked;
  for (const std::string& url : fetcher_->requests) ++asked[url];
  EXPECT_EQ(asked, (std::map<std::string, int>{{"http://a.com", 1}, {"http://c.com", 1}, {"http://hang.com", 1}}));
}

TEST_F(CommandsTest, ExportAndHelpOpenOnceAndExportWritesTheFile) {
  RecordingLauncher launcher;
  MainWindowOptions o;
  DomainRecord rec;
  rec.Domain = "a.com";
  rec.RegDate = "2010/01/01";
  rec.ExpireDate = "2040/01/01";
  rec.BaiduS = "3";
  rec.LastUpdate = "2026/01/01";
  rec.Registeracom = "R";
  seed({rec});
  o.programDir = dir_.path();
  o.prompter = &prompter_;
  o.files = &files_;
  o.launcher = &launcher;
  o.quitOnDestroy = false;
  window_ = std::make_unique<MainWindow>(o);
  ASSERT_NE(window_->create(GetModuleHandleW(nullptr)), nullptr);
  window_->show();
  ASSERT_TRUE(waitForRefresh(1));
  MainWindow& w = *window_;

  click(kIdHelp);
  HWND help = w.helpWindow();
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(windowText(help), "帮助中心");
  click(kIdHelp);
  EXPECT_EQ(w.helpWindow(), help);  // brought to the front, not opened twice
  EXPECT_EQ(GetWindow(help, GW_OWNER), w.hwnd());

  click(kIdExport);
  HWND exp = w.exportWindow();
  ASSERT_NE(exp, nullptr);
  EXPECT_EQ(windowText(exp), "导出设置");
  click(kIdExport);
  EXPECT_EQ(w.exportWindow(), exp);
  SendMessageW(GetDlgItem(exp, IDOK), BM_CLICK, 0, 0);
  EXPECT_TRUE(pumpUntil([&] { return !IsWindow(exp); }));
  ASSERT_EQ(launcher.lines.size(), 1u);
  const std::string path = "C:\\Program Files\\3d\\Domivex_导出.txt";
  EXPECT_EQ(launcher.lines[0], "notepad.exe \"" + path + "\"");
  EXPECT_EQ(readFileBytes(path), "a.com               2040/01/01  \r\n");
  removeFile(path);
}

}  // namespace
}  // namespace dvx
