// The export dialog: owned and not modal, its ticks, and the file it writes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_test_support_win.h"
#include "ui/dialogs/export_dialog_win.h"
#include "ui/list/list_view_win.h"
#include "ui/common/wide_win.h"

namespace dvx {
namespace {
using namespace dlgtest;

using D = ExportSettingsDialog;
const int kBoxes[] = {D::kIdDomain, D::kIdRegDate, D::kIdExpireDate, D::kIdRegistrar, D::kIdBaidu, D::kIdGoogle};

class ExportDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg_.files = &files_;
    dlg_.launcher = &launcher_;
    dlg_.readRows = [this] { return rows_; };
  }
  HWND open() {
    HWND w = dlg_.open(host_.hwnd());
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(w) != FALSE; }));
    return w;
  }
  HWND box(int id) { return GetDlgItem(dlg_.hwnd(), id); }
  // Presses "导出" and returns the bytes of the file Notepad was started on.
  std::string exportFile() {
    const size_t before = launcher_.lines.size();
    HWND w = dlg_.hwnd();
    click(GetDlgItem(w, IDOK));
    EXPECT_FALSE(IsWindow(w)) << "the dialog closes after the export";
    EXPECT_EQ(dlg_.hwnd(), nullptr);
    if (launcher_.lines.size() != before + 1) return "<notepad not started>";
    const std::string& line = launcher_.lines.back();
    const std::string expectedPath = pathForDisplay(exportFilePath(chooseDataDirectory(files_)));
    EXPECT_EQ(line, "notepad.exe \"" + expectedPath + "\"");  // quoted: the path may hold spaces
    return readFileBytes(expectedPath);
  }

  HostWindow host_;
  CountingFiles files_;
  RecordingLauncher launcher_;
  std::vector<ExportRow> rows_;
  ExportSettingsDialog dlg_;
};

TEST_F(ExportDialogTest, LayoutInitialTicksAndOneInstance) {
  HWND w = open();
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(windowText(w), "导出设置");
  EXPECT_EQ(outerSize(w).cx, 510);
  EXPECT_EQ(outerSize(w).cy, 170);
  EXPECT_EQ(GetWindow(w, GW_OWNER), host_.hwnd());
  EXPECT_FALSE(GetWindowLongW(w, GWL_STYLE) & WS_THICKFRAME);
  EXPECT_TRUE(IsWindowEnabled(host_.hwnd()));  // not modal

  const struct {
    const char* text;
    Box box;
    bool ticked, enabled;
  } expected[] = {
      {"域名", {16, 24, 56, 16}, true, false},      {"注册日期", {82, 24, 72, 16}, false, true},
      {"过期日期", {160, 24, 72, 16}, true, true},  {"域名商", {243, 24, 72, 16}, false, true},
      {"百度收录", {318, 24, 72, 16}, false, true}, {"Google收录", {400, 24, 96, 16}, false, true},
  };
  for (int i = 0; i < 6; ++i) {
    HWND b = box(kBoxes[i]);
    EXPECT_EQ(windowText(b), expected[i].text);
    EXPECT_EQ(childBox(b), expected[i].box) << expected[i].text;
    EXPECT_EQ(isChecked(b), expected[i].ticked) << expected[i].text;
    EXPECT_EQ(IsWindowEnabled(b) != FALSE, expected[i].enabled) << expected[i].text;
  }
  EXPECT_EQ(windowText(box(IDOK)), "导出");
  EXPECT_EQ(childBox(box(IDOK)), (Box{267, 79, 96, 32}));
  EXPECT_EQ(windowText(box(IDCANCEL)), "取消");
  EXPECT_EQ(childBox(box(IDCANCEL)), (Box{379, 79, 96, 32}));
  HDC dc = GetDC(w);
  EXPECT_EQ(GetPixel(dc, 4, 60), RGB(251, 250, 248));
  ReleaseDC(w, dc);

  // A second open brings the same window back to the front.
  click(box(D::kIdRegistrar));
  SetForegroundWindow(host_.hwnd());
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == host_.hwnd(); }));
  EXPECT_EQ(dlg_.open(host_.hwnd()), w);
  EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == w; }));
  EXPECT_TRUE(isChecked(box(D::kIdRegistrar)));  // the same dialog, ticks kept

  // "取消" closes without writing; the next opening starts from the initial ticks.
  click(box(IDCANCEL));
  EXPECT_FALSE(IsWindow(w));
  EXPECT_TRUE(launcher_.lines.empty());
  open();
  EXPECT_FALSE(isChecked(box(D::kIdRegistrar)));
  EXPECT_TRUE(isChecked(box(D::kIdExpireDate)));
  SendMessageW(dlg_.hwnd(), WM_CLOSE, 0, 0);  // the close box
  EXPECT_EQ(dlg_.hwnd(), nullptr);
}

TEST_F(ExportDialogTest, WritesFixedWidthLinesAndStartsNotepad) {
  // Domain, reg. date, expiry, registrar, Baidu, Google.
  rows_ = {
      {"a.com", "2001/02/03", "2030/01/01", "万网科技", "12", "7"},
      {"abcdefghijklmnop.com", "", "找不到", "GoDaddy.com, LLC (long)", "1234567", "0"},
  };
  open();
  const int madeBefore = files_.directoriesMade;
  // Initial ticks: domain and expiry date.
  EXPECT_EQ(exportFile(),
            "a.com" + std::string(15, ' ') + "2030/01/01  \r\n"
            "abcdefghijklmnop.com" "找不到" + std::string(6, ' ') + "\r\n");
  EXPECT_GT(files_.directoriesMade, madeBefore);  // the directory was chosen again

  // Every box ticked: a Chinese registrar of 8 bytes gets 12 spaces, a
  // field at or over its width is written whole with no separator.
  open();
  for (int id : {D::kIdRegDate, D::kIdRegistrar, D::kIdBaidu, D::kIdGoogle}) click(box(id));
  EXPECT_EQ(exportFile(),
            "a.com" + std::string(15, ' ') + "2001/02/03  " "2030/01/01  " "万网科技" + std::string(12, ' ') +
                "12     " "7      \r\n"
            "abcdefghijklmnop.com" + std::string(12, ' ') + "找不到      " "GoDaddy.com, LLC (long)" "1234567"
                "0      \r\n");

  // Every optional box off: the domain column alone, the file rewritten
  // shorter than before.
  open();
  click(box(D::kIdExpireDate));
  click(box(D::kIdDomain));  // disabled: stays ticked
  EXPECT_TRUE(isChecked(box(D::kIdDomain)));
  EXPECT_EQ(exportFile(), "a.com" + std::string(15, ' ') + "\r\nabcdefghijklmnop.com\r\n");

  // An empty list: an empty file, and Notepad still starts.
  rows_.clear();
  open();
  EXPECT_EQ(exportFile(), "");
  EXPECT_EQ(launcher_.lines.size(), 4u);
}

TEST_F(ExportDialogTest, RowsComeFromTheListColumnsInDisplayOrder) {
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 600, 300,
                              host_.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(list, nullptr);
  for (int c = 0; c < 11; ++c) {
    LVCOLUMNW col{};
    col.mask = LVCF_WIDTH;
    col.cx = 50;
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
  }
  ListView lv(list);
  for (int r = 0; r < 2; ++r) {
    lv.appendRow(std::to_string(r + 1), 0);
    // Every cell names its row and column, e.g. "r1c6".
    for (int c = 1; c < 11; ++c) lv.setCell(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
  }
  lv.setCell(1, 6, "新网");
  const std::vector<ExportRow> rows = exportRowsFromList(lv);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (ExportRow{"r0c1", "r0c4", "r0c5", "r0c6", "r0c7", "r0c9"}));
  EXPECT_EQ(rows[1], (ExportRow{"r1c1", "r1c4", "r1c5", "新网", "r1c7", "r1c9"}));

  dlg_.readRows = [list] { return exportRowsFromList(ListView(list)); };
  open();
  click(box(D::kIdRegistrar));
  EXPECT_EQ(exportFile(), "r0c1" + std::string(16, ' ') + "r0c5" + std::string(8, ' ') + "r0c6" +
                              std::string(16, ' ') + "\r\nr1c1" + std::string(16, ' ') + "r1c5" +
                              std::string(8, ' ') + "新网" + std::string(16, ' ') + "\r\n");
  DestroyWindow(list);
}

}  // namespace
}  // namespace dvx
