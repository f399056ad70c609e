#include "ui/list/row_icons_win.h"

namespace dvx {

namespace {
constexpr int kIconCount = 87;
constexpr int kDomainIcon = 81;

// One 16 x 16 image: a rounded tile in a colour of its own; the domain icon
// is a blue globe with two meridians.
HBITMAP drawIcon(HDC screen, int index) {
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
  HGDIOBJ oldBmp = SelectObject(dc, bmp);
  RECT all{0, 0, 16, 16};
  HBRUSH white = CreateSolidBrush(RGB(255, 0, 255));  // the mask colour
  FillRect(dc, &all, white);
  DeleteObject(white);
  const COLORREF colour = index == kDomainIcon
                              ? RGB(30, 110, 210)
                              : RGB((index * 53) % 200 + 30, (index * 97) % 200 + 30, (index * 29) % 200 + 30);
  HBRUSH fill = CreateSolidBrush(colour);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(20, 40, 80));
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  if (index == kDomainIcon) {
    Ellipse(dc, 1, 1, 15, 15);
    Arc(dc, 5, 1, 11, 15, 8, 1, 8, 15);
    Arc(dc, 5, 1, 11, 15, 8, 15, 8, 1);
    MoveToEx(dc, 1, 8, nullptr);
    LineTo(dc, 15, 8);
  } else {
    RoundRect(dc, 2, 2, 14, 14, 4, 4);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(fill);
  SelectObject(dc, oldBmp);
  DeleteDC(dc);
  return bmp;
}
}  // namespace

HIMAGELIST createRowImageList() {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, kIconCount, 0);
  if (!list) return nullptr;
  HDC screen = GetDC(nullptr);
  for (int i = 0; i < kIconCount; ++i) {
    HBITMAP bmp = drawIcon(screen, i);
    ImageList_AddMasked(list, bmp, RGB(255, 0, 255));
    DeleteObject(bmp);
  }
  ReleaseDC(nullptr, screen);
  return list;
}

}  // namespace dvx
