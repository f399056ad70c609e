// The main window moved between screens of different DPI (WM_DPICHANGED as
// Windows sends it): fonts, icons, columns and every control follow, and the
// trip back leaves everything exactly where it started.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "main_window_harness_win.h"
#include "ui/common/dpi_scale.h"
#include "ui/window/main_window_win.h"

namespace dvx {
namespace {
using namespace testing_win;

using DpiChangeTest = MainWindowHarness;

int fontHeight(HWND control) {
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  return lf.lfHeight;
}

// The width of the icon the caption shows.
int captionIconWidth(HWND window) {
  HICON icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  BITMAP bm{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return bm.bmWidth;
}

struct Snapshot {
  RECT window{}, client{};
  std::vector<RECT> controls;
  std::vector<int> columns, fonts;
  int icon = 0;
  int caption = 0;
};

const int kIds[] = {kIdList, kIdHint1, kIdHint2, kIdSortCheck, kIdTitleCheck, kIdRequeryFailed, kIdAdd,
                    kIdDelete, kIdRequeryOne, kIdRequeryAll, kIdExport, kIdHelp, kIdClose};

Snapshot snapshot(MainWindow& w) {
  Snapshot s;
  GetWindowRect(w.hwnd(), &s.window);
  GetClientRect(w.hwnd(), &s.client);
  for (int id : kIds) {
    s.controls.push_back(childRect(w.control(id)));
    s.fonts.push_back(fontHeight(w.control(id)));
  }
  for (int i = 0; i < 11; ++i)
    s.columns.push_back(static_cast<int>(SendMessageW(w.list().hwnd(), LVM_GETCOLUMNWIDTH, i, 0)));
  int cx = 0, cy = 0;
  ImageList_GetIconSize(
      reinterpret_cast<HIMAGELIST>(SendMessageW(w.list().hwnd(), LVM_GETIMAGELIST, LVSIL_SMALL, 0)), &cx, &cy);
  EXPECT_EQ(cx, cy);
  s.icon = cx;
  s.caption = captionIconWidth(w.hwnd());
  return s;
}

void moveToDpi(MainWindow& w, int dpi, RECT suggested) {
  SendMessageW(w.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
}

TEST_F(DpiChangeTest, MainWindowFollowsItsScreenAndComesBackWithoutDrift) {
  MainWindow& w = open();
  ASSERT_TRUE(waitForRefresh());
  ASSERT_EQ(w.dpi(), 96);
  // One column of the user's own width: it is scaled in proportion.
  SendMessageW(w.list().hwnd(), LVM_SETCOLUMNWIDTH, 1, 200);
  const Snapshot at96 = snapshot(w);

  // To a 150 % screen. The test's desktop is 1280 pixels wide, so the
  // suggested size is less than 1.5 times.
  const RECT big{10, 20, 10 + 1200, 20 + 701};
  moveToDpi(w, 144, big);
  EXPECT_EQ(w.dpi(), 144);
  const Snapshot at144 = snapshot(w);
  EXPECT_TRUE(EqualRect(&at144.window, &big));
  EXPECT_EQ(at144.icon, 24);
  EXPECT_EQ(at144.caption, 24);  // the caption's icon is drawn for the new DPI too
  EXPECT_EQ(at144.columns, (std::vector<int>{69, 300, 0, 0, 180, 180, 225, 120, 0, 0, 0}));
  for (size_t i = 0; i < at144.fonts.size(); ++i) EXPECT_EQ(at144.fonts[i], at96.fonts[i] * 3 / 2) << kIds[i];
  const RECT list = at144.controls[0];
  EXPECT_EQ(list.left, 11);
  EXPECT_EQ(list.top, 11);
  for (size_t i = 1; i < at144.controls.size(); ++i) {
    SCOPED_TRACE(kIds[i]);
    // Fixed-size controls keep their proportions exactly; they stay anchored
    // at the scaled distance from the bottom (and the right for buttons).
    const RECT& was = at96.controls[i];
    const RECT& now = at144.controls[i];
    EXPECT_EQ(now.right - now.left, (was.right - was.left) * 3 / 2 + (was.right - was.left) % 2);
    EXPECT_EQ(now.bottom - now.top, (was.bottom - was.top) * 3 / 2 + (was.bottom - was.top) % 2);
    EXPECT_GE(now.top, list.bottom);
  }
  // The distances to the client's right and bottom edges are the measured
  // ones scaled: the close button's and the hint's.
  const RECT& close96 = at96.controls[12];
  const RECT& close144 = at144.controls[12];
  EXPECT_EQ(at144.client.right - close144.right, scaleForDpi(at96.client.right - close96.right, 144));
  EXPECT_EQ(at144.client.bottom - close144.bottom, scaleForDpi(at96.client.bottom - close96.bottom, 144));
  EXPECT_EQ(at144.client.bottom - at144.controls[1].bottom,
            scaleForDpi(at96.client.bottom - at96.controls[1].bottom, 144));
  EXPECT_EQ(at144.controls[1].left, scaleForDpi(at96.controls[1].left, 144));

  // On through 125 % and back to 96: every number as it was.
  moveToDpi(w, 120, RECT{60, 60, 60 + 1158, 60 + 584});
  const Snapshot at120 = snapshot(w);
  EXPECT_EQ(at120.icon, 20);
  EXPECT_EQ(at120.caption, 20);
  moveToDpi(w, 96, at96.window);
  const Snapshot back = snapshot(w);
  EXPECT_EQ(w.dpi(), 96);
  EXPECT_TRUE(EqualRect(&back.window, &at96.window));
  for (size_t i = 0; i < back.controls.size(); ++i)
    EXPECT_TRUE(EqualRect(&back.controls[i], &at96.controls[i])) << kIds[i];
  EXPECT_EQ(back.columns, at96.columns);
  EXPECT_EQ(back.fonts, at96.fonts);
  EXPECT_EQ(back.icon, 16);
  EXPECT_EQ(back.caption, 16);
  // Resizing afterwards still anchors at 96 DPI.
  SetWindowPos(w.hwnd(), nullptr, 0, 0, 926 + 100, 467, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(childRect(w.control(kIdClose)).left, 900);
}

}  // namespace
}  // namespace dvx
