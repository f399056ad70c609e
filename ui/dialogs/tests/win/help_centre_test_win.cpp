// The help-centre window: tabs, exact page texts, links, the WHOIS reference.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_test_support_win.h"
#include "ui/dialogs/help_centre_win.h"
#include "ui/dialogs/help_texts.h"
#include "ui/common/wide_win.h"

namespace dvx {
namespace {
using namespace dlgtest;

using H = HelpCentreWindow;

class HelpCentreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    help_.launcher = &launcher_;
    w_ = help_.open(host_.hwnd());
    ASSERT_NE(w_, nullptr);
    ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(w_) != FALSE; }));
  }
  HWND page(int id) { return GetDlgItem(help_.tabs(), id); }
  void selectTab(int i) {
    // Moving the focus to a tab selects it and notifies like a click does.
    SendMessageW(help_.tabs(), TCM_SETCURFOCUS, i, 0);
    EXPECT_EQ(help_.currentPage(), i);
  }

  HostWindow host_;
  RecordingLauncher launcher_;
  HelpCentreWindow help_;
  HWND w_ = nullptr;
};

TEST_F(HelpCentreTest, FrameTabsAndCloseButton) {
  EXPECT_EQ(windowText(w_), "帮助中心");
  EXPECT_EQ(outerSize(w_).cx, 597);
  EXPECT_EQ(outerSize(w_).cy, 396);
  EXPECT_EQ(GetWindow(w_, GW_OWNER), host_.hwnd());
  EXPECT_FALSE(GetWindowLongW(w_, GWL_STYLE) & WS_THICKFRAME);
  EXPECT_TRUE(IsWindowEnabled(host_.hwnd()));  // the main window stays usable

  EXPECT_EQ(childBox(help_.tabs()), (Box{3, 3, 584, 319}));
  ASSERT_EQ(SendMessageW(help_.tabs(), TCM_GETITEMCOUNT, 0, 0), 4);
  const char* titles[] = {"软件使用方法", "域名到期删除知识", "域名管理入口大全", "Whois服务器大全"};
  for (int i = 0; i < 4; ++i) {
    wchar_t buf[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buf;
    item.cchTextMax = 64;
    SendMessageW(help_.tabs(), TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(fromWide(buf), titles[i]);
  }
  EXPECT_EQ(help_.currentPage(), 0);
  HWND close = GetDlgItem(w_, IDCANCEL);
  EXPECT_EQ(windowText(close), "关闭");
  EXPECT_EQ(childBox(close), (Box{463, 327, 120, 27}));

  // A second open brings the same window to the front.
  SetForegroundWindow(host_.hwnd());
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == host_.hwnd(); }));
  EXPECT_EQ(help_.open(host_.hwnd()), w_);
  EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == w_; }));

  click(close);
  EXPECT_FALSE(IsWindow(w_));
  EXPECT_EQ(help_.hwnd(), nullptr);
  // Opened again it starts on the first page.
  w_ = help_.open(host_.hwnd());
  EXPECT_EQ(help_.currentPage(), 0);
  SendMessageW(w_, WM_CLOSE, 0, 0);
  EXPECT_EQ(help_.hwnd(), nullptr);
}

TEST_F(HelpCentreTest, UsageAndExpiryPagesShowTheirTextsExactly) {
  const struct {
    Box heading, rule, text;
  } layout[] = {
      {{20, 45, 132, 24}, {141, 56, 416, 2}, {28, 66, 504, 59}},
      {{20, 129, 185, 24}, {189, 140, 368, 2}, {28, 150, 504, 59}},
      {{22, 208, 111, 24}, {131, 219, 424, 2}, {30, 229, 527, 59}},
  };
  const char* headings[] = {"软件使用方法及作用", "重新查询单个域名的注册信息", "修改单个域名信息"};
  for (int s = 0; s < 3; ++s) {
    HWND heading = page(H::kIdHeading1 + s);
    EXPECT_EQ(windowText(heading), headings[s]);
    EXPECT_EQ(childBox(heading), layout[s].heading);
    EXPECT_EQ(fontFace(heading), "宋体");
    EXPECT_EQ(fontPixels(heading), 12);
    HWND rule = page(H::kIdRule1 + s);
    EXPECT_EQ(childBox(rule), layout[s].rule);
    HDC dc = GetDC(rule);  // etched: shadow over highlight
    EXPECT_EQ(GetPixel(dc, 10, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, 10, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    ReleaseDC(rule, dc);
    EXPECT_EQ(childBox(page(H::kIdUsageText1 + s)), layout[s].text);
    EXPECT_TRUE(IsWindowVisible(heading));
  }
  // Byte for byte, CR LF and the empty lines at the ends included.
  for (int s = 0; s < 3; ++s) EXPECT_EQ(windowText(page(H::kIdUsageText1 + s)), usageSectionText(s)) << s;
  HWND note = page(H::kIdUsageNote);
  EXPECT_EQ(windowText(note), "百度关键词:指可以通过多少个不同关键词数从百度搜索到您网站");
  EXPECT_EQ(childBox(note), (Box{31, 284, 376, 24}));
  EXPECT_FALSE(IsWindowEnabled(note));  // greyed

  HWND expiry = page(H::kIdExpiryText);
  EXPECT_FALSE(IsWindowVisible(expiry));
  selectTab(1);
  EXPECT_TRUE(IsWindowVisible(expiry));
  EXPECT_FALSE(IsWindowVisible(page(H::kIdHeading1)));
  EXPECT_EQ(childBox(expiry), (Box{29, 52, 520, 272}));
  EXPECT_EQ(windowText(expiry), expiryKnowledgeText());  // trailing spaces kept
  // Taller than its box: the page scrolls down to its last sentence.
  SendMessageW(expiry, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_GT(SendMessageW(expiry, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(HelpCentreTest, LinksAreBlueAndOpenInTheBrowser) {
  selectTab(2);
  const struct {
    const char* provider;
    Box label, link;
  } rows[] = {
      {"万网", {42, 58, 40, 16}, {104, 58, 254, 16}},      {"新网", {42, 84, 40, 16}, {103, 84, 313, 16}},
      {"新网互联", {42, 109, 53, 16}, {103, 109, 169, 16}}, {"商务中国", {42, 133, 53, 16}, {104, 133, 232, 16}},
      {"DNSPod", {43, 160, 53, 16}, {105, 160, 164, 16}},
  };
  std::vector<std::string> expected;
  for (int i = 0; i < 5; ++i) {
    HWND label = page(H::kIdProvider1 + i);
    HWND link = page(H::kIdLink1 + i);
    EXPECT_TRUE(IsWindowVisible(link));
    EXPECT_EQ(windowText(label), rows[i].provider);
    EXPECT_EQ(childBox(label), rows[i].label);
    EXPECT_EQ(childBox(link), rows[i].link);
    // The visible text is the address itself.
    const std::string url = windowText(link);
    EXPECT_EQ(url, kProviderLinks[i].url);
    expected.push_back("explorer \"" + url + "\"");

    // Colours as the link asks its parent for them: blue on the dialog tint.
    HDC dc = GetDC(link);
    const HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessageW(help_.tabs(), WM_CTLCOLORSTATIC,
                                                               reinterpret_cast<WPARAM>(dc),
                                                               reinterpret_cast<LPARAM>(link)));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 136, 255));
    EXPECT_EQ(GetBkColor(dc), RGB(251, 250, 248));
    LOGBRUSH lb{};
    ASSERT_TRUE(brush && GetObjectW(brush, sizeof lb, &lb));
    EXPECT_EQ(lb.lbColor, RGB(251, 250, 248));
    ReleaseDC(link, dc);

    // A click: the static reports it to the tab, which passes it on.
    SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  }
  EXPECT_EQ(launcher_.lines, expected);
  // Clicking a provider's name opens nothing.
  SendMessageW(page(H::kIdProvider1), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(page(H::kIdProvider1), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(launcher_.lines.size(), 5u);
}

int countLinesEndingWith(const std::string& text, const std::string& tail) {
  int n = 0;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find("\r\n", start);
    const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (line.find(tail) != std::string::npos) ++n;
    if (end == std::string::npos) return n;
    start = end + 2;
  }
}

TEST_F(HelpCentreTest, WhoisReferenceIsShownWholeAndScrollsToItsLastLine) {
  selectTab(3);
  HWND frame = page(H::kIdReferenceFrame);
  HWND box = help_.referenceBox();
  EXPECT_EQ(childBox(frame), (Box{11, 31, 558, 272}));
  EXPECT_EQ(GetParent(box), frame);
  EXPECT_EQ(childBox(box), (Box{7, 7, 543, 256}));
  const LONG style = GetWindowLongW(box, GWL_STYLE);
  EXPECT_TRUE(style & ES_READONLY);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_TRUE(IsWindowVisible(box));

  const std::string text = windowText(box);
  EXPECT_EQ(text, whoisReferenceText());
  EXPECT_EQ(countLinesEndingWith(text, "|NONE"), 69);
  EXPECT_EQ(countLinesEndingWith(text, "|WEB|"), 21);
  EXPECT_EQ(countLinesEndingWith(text, " 43端口"), countLinesEndingWith(whoisReferenceText(), " 43端口"));

  // Black on white although read-only.
  HDC dc = GetDC(box);
  SendMessageW(frame, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
  ReleaseDC(box, dc);

  // Scrolled by the scroll bar to the bottom, the last line is in view.
  const int lines = static_cast<int>(SendMessageW(box, EM_GETLINECOUNT, 0, 0));
  EXPECT_GT(lines, 172 * 2);
  EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SendMessageW(box, WM_VSCROLL, SB_BOTTOM, 0);
  const int first = static_cast<int>(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0));
  EXPECT_GT(first, 0);
  RECT client{};
  GetClientRect(box, &client);
  const int lastChar = static_cast<int>(text.empty() ? 0 : GetWindowTextLengthW(box) - 1);
  const LRESULT pos = SendMessageW(box, EM_POSFROMCHAR, lastChar, 0);
  const int y = static_cast<short>(HIWORD(pos));
  EXPECT_GE(y, 0);
  EXPECT_LT(y, client.bottom);
  EXPECT_EQ(SendMessageW(box, EM_LINEFROMCHAR, lastChar, 0), lines - 1);

  // Back to the top, then line by line to the end.
  SendMessageW(box, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SendMessageW(box, EM_LINESCROLL, 0, lines);
  EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), first);
}

}  // namespace
}  // namespace dvx
