// The add-domains and modify-domain dialogs as modal windows, driven from
// inside their own message loops.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dialog_test_support_win.h"
#include "ui/dialogs/add_domains_dialog_win.h"
#include "ui/dialogs/modify_domain_dialog_win.h"
#include "ui/common/wide_win.h"

namespace dvx {
namespace {
using namespace dlgtest;

HWND item(HWND parent, int id) { return GetDlgItem(parent, id); }

// Types text into a control as the keyboard would deliver it: one WM_CHAR
// per UTF-16 unit, "\r" for the Enter key.
void typeText(HWND control, const std::wstring& text) {
  for (wchar_t c : text) SendMessageW(control, WM_CHAR, c, 1);
}

TEST(AddDomainsDialog, LayoutFocusAndBlockedMainWindow) {
  HostWindow host;
  AddDomainsDialog dlg;
  dlg.blockedWindow = host.hwnd();
  bool checked = false;
  const bool ok = runDriven(dlg, [&] { return dlg.run(); }, [&] {
    HWND w = dlg.hwnd();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(windowText(w), "添加新域名");
    EXPECT_EQ(outerSize(w).cx, 452);
    EXPECT_EQ(outerSize(w).cy, 258);
    EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);  // no owner
    EXPECT_FALSE(GetWindowLongW(w, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX));
    EXPECT_FALSE(IsWindowEnabled(host.hwnd()));  // the main window takes no input

    HWND prompt = item(w, AddDomainsDialog::kIdPrompt);
    EXPECT_EQ(windowText(prompt), "请输入域名 (如需批量添加,则请以一行一个的格式输入)");
    EXPECT_EQ(childBox(prompt), (Box{17, 13, 385, 24}));
    EXPECT_EQ(fontFace(prompt), "宋体");
    EXPECT_EQ(fontPixels(prompt), 14);
    HWND frame = item(w, AddDomainsDialog::kIdFrame);
    EXPECT_EQ(childBox(frame), (Box{17, 42, 411, 128}));
    HWND input = item(frame, AddDomainsDialog::kIdInput);
    EXPECT_EQ(input, dlg.input());
    EXPECT_EQ(childBox(input), (Box{5, 6, 400, 115}));
    const LONG style = GetWindowLongW(input, GWL_STYLE);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_TRUE(style & WS_VSCROLL);
    EXPECT_EQ(fontFace(input), "Arial");
    EXPECT_EQ(fontPixels(input), 12);
    EXPECT_EQ(windowText(input), "");
    EXPECT_EQ(GetFocus(), input);
    EXPECT_EQ(windowText(item(w, IDOK)), "确定");
    EXPECT_EQ(childBox(item(w, IDOK)), (Box{262, 183, 80, 27}));
    EXPECT_EQ(windowText(item(w, IDCANCEL)), "取消");
    EXPECT_EQ(childBox(item(w, IDCANCEL)), (Box{351, 183, 80, 27}));

    // The frame's grey border and white inside, the dialog's own background.
    HDC fdc = GetDC(frame);
    EXPECT_EQ(GetPixel(fdc, 0, 50), RGB(192, 192, 192));
    EXPECT_EQ(GetPixel(fdc, 2, 50), RGB(255, 255, 255));
    ReleaseDC(frame, fdc);
    HDC dc = GetDC(w);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(251, 250, 248));
    ReleaseDC(w, dc);
    checked = true;
    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"a.com"));
    click(item(w, IDCANCEL));
  });
  EXPECT_TRUE(checked);
  EXPECT_FALSE(ok);  // "取消" even with text in the box
  EXPECT_EQ(dlg.text(), "");
  EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
}

TEST(AddDomainsDialog, OkReturnsTheWholeBoxAsTyped) {
  struct Case {
    const wchar_t* set;  // WM_SETTEXT, or null to type
    std::string expected;
  };
  const Case cases[] = {
      {L"example.com", "example.com"},
      // A batch with one name three ways and a blank line: the dialog hands
      // the text over untouched; the store de-duplicates.
      {L"a.com\r\nA.COM\r\n\r\nwww.a.com\r\n", "a.com\r\nA.COM\r\n\r\nwww.a.com\r\n"},
      // Pasted LF-only lines stay as they are: one piece for the store.
      {L"a.com\nb.com\n", "a.com\nb.com\n"},
      {L"   ", "   "},
      {nullptr, "a.com\r\n中文.com"},
  };
  for (const Case& c : cases) {
    AddDomainsDialog dlg;
    const bool ok = runDriven(dlg, [&] { return dlg.run(); }, [&] {
      if (c.set)
        SendMessageW(dlg.input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.set));
      else
        typeText(dlg.input(), L"a.com\r中文.com");
      click(GetDlgItem(dlg.hwnd(), IDOK));
    });
    EXPECT_TRUE(ok) << c.expected;
    EXPECT_EQ(dlg.text(), c.expected);
  }
}

TEST(AddDomainsDialog, EmptyBoxAndCloseBoxReturnFalse) {
  AddDomainsDialog dlg;
  EXPECT_FALSE(runDriven(dlg, [&] { return dlg.run(); }, [&] { click(GetDlgItem(dlg.hwnd(), IDOK)); }));
  EXPECT_EQ(dlg.text(), "");

  // A new run starts empty, and the close box cancels.
  EXPECT_FALSE(runDriven(dlg, [&] { return dlg.run(); }, [&] {
    EXPECT_EQ(windowText(dlg.input()), "");
    SendMessageW(dlg.input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"b.com"));
    SendMessageW(dlg.hwnd(), WM_CLOSE, 0, 0);
  }));
  EXPECT_EQ(dlg.text(), "");

  // A run after an accepted one forgets the old text when cancelled.
  EXPECT_TRUE(runDriven(dlg, [&] { return dlg.run(); }, [&] {
    SendMessageW(dlg.input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"c.com"));
    click(GetDlgItem(dlg.hwnd(), IDOK));
  }));
  EXPECT_EQ(dlg.text(), "c.com");
  EXPECT_FALSE(runDriven(dlg, [&] { return dlg.run(); }, [&] { click(GetDlgItem(dlg.hwnd(), IDCANCEL)); }));
  EXPECT_EQ(dlg.text(), "");
}

TEST(AddDomainsDialog, FollowsItsScreenToAnotherDpiAndBack) {
  AddDomainsDialog dlg;
  const bool ok = runDriven(dlg, [&] { return dlg.run(); }, [&] {
    HWND w = dlg.hwnd();
    ASSERT_NE(w, nullptr);
    HWND prompt = item(w, AddDomainsDialog::kIdPrompt);
    HWND frame = item(w, AddDomainsDialog::kIdFrame);
    RECT was{};
    GetWindowRect(w, &was);
    // Moved to a 150 % screen, as Windows tells a window: every box is its
    // 96-DPI one times 1.5, the fonts too, the window takes the suggested size.
    RECT suggested{was.left, was.top, was.left + 678, was.top + 387};
    SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(outerSize(w).cx, 678);
    EXPECT_EQ(outerSize(w).cy, 387);
    EXPECT_EQ(childBox(prompt), (Box{26, 20, 578, 36}));
    EXPECT_EQ(fontPixels(prompt), 21);
    EXPECT_EQ(childBox(frame), (Box{26, 63, 617, 192}));
    EXPECT_EQ(childBox(dlg.input()), (Box{8, 9, 600, 173}));
    EXPECT_EQ(fontPixels(dlg.input()), 18);
    EXPECT_EQ(childBox(item(w, IDOK)), (Box{393, 275, 120, 41}));
    EXPECT_EQ(fontPixels(item(w, IDOK)), 18);
    // On through 125 % and back: exactly the designed layout again.
    suggested = RECT{was.left, was.top, was.left + 565, was.top + 323};
    SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(120, 120), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(fontPixels(prompt), 18);  // 17.5
    SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&was));
    EXPECT_EQ(outerSize(w).cx, 452);
    EXPECT_EQ(childBox(prompt), (Box{17, 13, 385, 24}));
    EXPECT_EQ(fontPixels(prompt), 14);
    EXPECT_EQ(childBox(frame), (Box{17, 42, 411, 128}));
    EXPECT_EQ(childBox(dlg.input()), (Box{5, 6, 400, 115}));
    EXPECT_EQ(fontPixels(dlg.input()), 12);
    EXPECT_EQ(childBox(item(w, IDCANCEL)), (Box{351, 183, 80, 27}));
    EXPECT_EQ(fontPixels(item(w, IDCANCEL)), 12);
    click(item(w, IDCANCEL));
  });
  EXPECT_FALSE(ok);
}

TEST(ModifyDomainDialog, LayoutLoadedNameAndRedBoldBox) {
  HostWindow host;
  ModifyDomainDialog dlg;
  dlg.blockedWindow = host.hwnd();
  dlg.initialName = "例子.com";
  bool checked = false;
  const bool ok = runDriven(dlg, [&] { return dlg.run(); }, [&] {
    HWND w = dlg.hwnd();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(windowText(w), "修改域名");
    EXPECT_EQ(outerSize(w).cx, 448);
    EXPECT_EQ(outerSize(w).cy, 182);
    EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);  // no owner, like the add dialog
    EXPECT_FALSE(IsWindowEnabled(host.hwnd()));
    EXPECT_FALSE(GetWindowLongW(w, GWL_STYLE) & WS_THICKFRAME);

    HWND prompt = item(w, ModifyDomainDialog::kIdPrompt);
    EXPECT_EQ(windowText(prompt), "请输入域名");
    EXPECT_EQ(childBox(prompt), (Box{15, 11, 385, 24}));
    EXPECT_EQ(fontPixels(prompt), 14);
    HWND frame = item(w, ModifyDomainDialog::kIdFrame);
    EXPECT_EQ(childBox(frame), (Box{16, 40, 408, 48}));
    HWND name = item(frame, ModifyDomainDialog::kIdName);
    EXPECT_EQ(name, dlg.nameBox());
    EXPECT_EQ(childBox(name), (Box{8, 10, 392, 27}));
    EXPECT_FALSE(GetWindowLongW(name, GWL_STYLE) & ES_MULTILINE);
    EXPECT_EQ(fontFace(name), "Arial");
    EXPECT_EQ(fontPixels(name), 14);
    EXPECT_TRUE(fontBold(name));
    EXPECT_EQ(windowText(name), "例子.com");
    EXPECT_EQ(GetFocus(), name);

    // The box asks its frame for colours; the answer is red on white.
    HDC dc = GetDC(name);
    const LRESULT brush = SendMessageW(frame, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(name));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)));
    ReleaseDC(name, dc);

    const struct {
      int id;
      Box box;
    } pictures[] = {{ModifyDomainDialog::kIdSite, {16, 106, 21, 16}},
                    {ModifyDomainDialog::kIdBaidu, {48, 107, 21, 16}},
                    {ModifyDomainDialog::kIdGoogle, {80, 107, 21, 16}},
                    {ModifyDomainDialog::kIdKeyword, {110, 105, 21, 16}}};
    for (const auto& p : pictures) EXPECT_EQ(childBox(item(w, p.id)), p.box) << p.id;
    // The pictures are drawn: the site button's globe is not background.
    HWND site = item(w, ModifyDomainDialog::kIdSite);
    HDC bdc = GetDC(site);
    EXPECT_NE(GetPixel(bdc, 10, 8), RGB(251, 250, 248));
    EXPECT_EQ(GetPixel(bdc, 0, 0), RGB(251, 250, 248));
    ReleaseDC(site, bdc);
    EXPECT_EQ(windowText(item(w, IDOK)), "确定");
    EXPECT_EQ(childBox(item(w, IDOK)), (Box{256, 102, 80, 27}));
    EXPECT_EQ(windowText(item(w, IDCANCEL)), "取消");
    EXPECT_EQ(childBox(item(w, IDCANCEL)), (Box{345, 102, 80, 27}));
    checked = true;
    click(item(w, IDCANCEL));
  });
  EXPECT_TRUE(checked);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(IsWindowEnabled(host.hwnd()));
}

TEST(ModifyDomainDialog, OkReturnsTheBoxAsTyped) {
  ModifyDomainDialog dlg;
  dlg.initialName = "old.com";
  // Changed text, typed over the selection.
  EXPECT_TRUE(runDriven(dlg, [&] { return dlg.run(); }, [&] {
    SendMessageW(dlg.nameBox(), EM_SETSEL, 0, -1);
    typeText(dlg.nameBox(), L"www.New.com ");
    click(GetDlgItem(dlg.hwnd(), IDOK));
  }));
  EXPECT_EQ(dlg.text(), "www.New.com ");
  // Unchanged: the loaded name comes back byte for byte.
  dlg.initialName = "同名.cn";
  EXPECT_TRUE(runDriven(dlg, [&] { return dlg.run(); }, [&] { click(GetDlgItem(dlg.hwnd(), IDOK)); }));
  EXPECT_EQ(dlg.text(), "同名.cn");
  // Emptied box: still "确定"; the caller sees the empty text.
  EXPECT_TRUE(runDriven(dlg, [&] { return dlg.run(); }, [&] {
    SetWindowTextW(dlg.nameBox(), L"");
    click(GetDlgItem(dlg.hwnd(), IDOK));
  }));
  EXPECT_EQ(dlg.text(), "");
  // "取消" after editing.
  EXPECT_FALSE(runDriven(dlg, [&] { return dlg.run(); }, [&] {
    SetWindowTextW(dlg.nameBox(), L"x.com");
    click(GetDlgItem(dlg.hwnd(), IDCANCEL));
  }));
  EXPECT_EQ(dlg.text(), "");
}

TEST(ModifyDomainDialog, PictureButtonsLaunchShortcutsAndStayOpen) {
  RecordingLauncher launcher;
  ModifyDomainDialog dlg;
  dlg.launcher = &launcher;
  dlg.hosts.baiduHost = "baidu.test";
  dlg.hosts.googleHost = "google.test:8080";
  dlg.hosts.siteServiceHost = "rank.test";
  dlg.initialName = "a.com";
  const int ids[] = {ModifyDomainDialog::kIdSite, ModifyDomainDialog::kIdBaidu, ModifyDomainDialog::kIdGoogle,
                     ModifyDomainDialog::kIdKeyword};
  const bool ok = runDriven(dlg, [&] { return dlg.run(); }, [&] {
    for (int id : ids) click(GetDlgItem(dlg.hwnd(), id));
    EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));
    // The current box text, as typed: not cleaned, a quote encoded.
    SetWindowTextW(dlg.nameBox(), L"http://B.com\" -x");
    click(GetDlgItem(dlg.hwnd(), ModifyDomainDialog::kIdSite));
    SetWindowTextW(dlg.nameBox(), L"");
    click(GetDlgItem(dlg.hwnd(), ModifyDomainDialog::kIdSite));
    SetWindowTextW(dlg.nameBox(), L"中文.com");
    click(GetDlgItem(dlg.hwnd(), ModifyDomainDialog::kIdKeyword));
    click(GetDlgItem(dlg.hwnd(), IDCANCEL));
  });
  EXPECT_FALSE(ok);
  const std::vector<std::string> expected = {
      "explorer \"http://a.com\"",
      "explorer \"http://baidu.test/s?wd=site:a.com\"",
      "explorer \"http://google.test:8080/search?q=site:a.com\"",
      "explorer \"http://rank.test/baidu/a.com\"",
      "explorer \"http://http://B.com%22 -x\"",
      "explorer \"http://\"",
      "explorer \"http://rank.test/baidu/中文.com\"",
  };
  EXPECT_EQ(launcher.lines, expected);
}

}  // namespace
}  // namespace dvx
