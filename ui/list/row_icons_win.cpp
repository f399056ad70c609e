#include "ui/list/row_icons_win.h"

#include "ui/common/dpi_scale.h"

namespace dvx {

namespace {
constexpr int kIconCount = 87;
constexpr int kDomainIcon = 81;

// One image, 16 x 16 at 96 DPI: a rounded tile in a colour of its own; the
// domain icon is a blue globe with two meridians. Every coordinate is a
// 96-DPI one scaled, so the shapes stay crisp at any size.
HBITMAP drawIcon(HDC screen, int index, int dpi) {
  auto s = [dpi](int v) { return scaleForDpi(v, dpi); };
  const int size = s(16);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ oldBmp = SelectObject(dc, bmp);
  RECT all{0, 0, size, size};
  HBRUSH white = CreateSolidBrush(RGB(255, 0, 255));  // the mask colour
  FillRect(dc, &all, white);
  DeleteObject(white);
  const COLORREF colour = index == kDomainIcon
                              ? RGB(30, 110, 210)
                              : RGB((index * 53) % 200 + 30, (index * 97) % 200 + 30, (index * 29) % 200 + 30);
  HBRUSH fill = CreateSolidBrush(colour);
  HPEN pen = CreatePen(PS_SOLID, s(1), RGB(20, 40, 80));
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  if (index == kDomainIcon) {
    Ellipse(dc, s(1), s(1), s(15), s(15));
    Arc(dc, s(5), s(1), s(11), s(15), s(8), s(1), s(8), s(15));
    Arc(dc, s(5), s(1), s(11), s(15), s(8), s(15), s(8), s(1));
    MoveToEx(dc, s(1), s(8), nullptr);
    LineTo(dc, s(15), s(8));
  } else {
    RoundRect(dc, s(2), s(2), s(14), s(14), s(4), s(4));
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

HIMAGELIST createRowImageList(int dpi) {
  const int size = scaleForDpi(16, dpi);
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, kIconCount, 0);
  if (!list) return nullptr;
  HDC screen = GetDC(nullptr);
  for (int i = 0; i < kIconCount; ++i) {
    HBITMAP bmp = drawIcon(screen, i, dpi);
    ImageList_AddMasked(list, bmp, RGB(255, 0, 255));
    DeleteObject(bmp);
  }
  ReleaseDC(nullptr, screen);
  return list;
}

}  // namespace dvx
