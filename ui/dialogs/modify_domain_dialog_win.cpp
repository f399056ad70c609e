#include "ui/dialogs/modify_domain_dialog_win.h"

#include "ui/common/dpi_scale.h"
#include "ui/dialogs/shortcuts.h"
#include "ui/common/wide_win.h"

namespace dvx {

namespace {

constexpr COLORREF kNameRed = RGB(255, 0, 0);
using ScopedPen = ScopedGdi<HPEN>;

// Selects a GDI object for the life of the scope.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ~Selected() { SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The pictures are drawn, not stretched: every number is a 96-DPI one
// scaled by `s`.
struct Scale {
  int dpi;
  int operator()(int v) const { return scaleForDpi(v, dpi); }
};

void drawBadge(HDC dc, const RECT& r, COLORREF fill, COLORREF edge, const wchar_t* glyph, COLORREF ink,
               const wchar_t* face, int pixels, Scale s) {
  ScopedBrush brush(CreateSolidBrush(fill));
  ScopedPen pen(CreatePen(PS_SOLID, s(1), edge));
  {
    Selected b(dc, brush.get()), p(dc, pen.get());
    RoundRect(dc, r.left, r.top, r.right, r.bottom, s(5), s(5));
  }
  ScopedFont font(makeFont(face, s(pixels), true));
  Selected f(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ink);
  RECT box = r;
  DrawTextW(dc, glyph, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void drawGlobe(HDC dc, int x, int y, Scale s) {
  ScopedBrush sea(CreateSolidBrush(RGB(96, 164, 232)));
  ScopedPen line(CreatePen(PS_SOLID, s(1), RGB(24, 84, 160)));
  Selected p(dc, line.get());
  {
    Selected b(dc, sea.get());
    Ellipse(dc, x, y, x + s(16), y + s(16));
  }
  Selected hollow(dc, GetStockObject(NULL_BRUSH));
  Ellipse(dc, x + s(4), y, x + s(12), y + s(16));
  MoveToEx(dc, x + s(8), y, nullptr);
  LineTo(dc, x + s(8), y + s(16));
  MoveToEx(dc, x + s(1), y + s(8), nullptr);
  LineTo(dc, x + s(15), y + s(8));
  MoveToEx(dc, x + s(3), y + s(4), nullptr);
  LineTo(dc, x + s(13), y + s(4));
  MoveToEx(dc, x + s(3), y + s(12), nullptr);
  LineTo(dc, x + s(13), y + s(12));
}

// The pictures, 16 x 16 at 96 DPI: a globe for the site, "百" for Baidu,
// "G" for Google, "K" for the keyword page.
void drawShortcutPicture(HDC dc, int shortcut, int x, int y, Scale s) {
  const RECT r{x, y, x + s(16), y + s(16)};
  switch (shortcut) {
    case 1: drawGlobe(dc, x, y, s); break;
    case 2: drawBadge(dc, r, RGB(41, 98, 230), RGB(30, 70, 180), L"百", RGB(255, 255, 255), L"宋体", 12, s); break;
    case 3: drawBadge(dc, r, RGB(255, 255, 255), RGB(170, 170, 170), L"G", RGB(66, 133, 244), L"Arial", 14, s); break;
    case 4: drawBadge(dc, r, RGB(240, 128, 24), RGB(200, 96, 8), L"K", RGB(255, 255, 255), L"Arial", 13, s); break;
    default: break;
  }
}

}  // namespace

bool ModifyDomainDialog::run() {
  text_.clear();
  accepted_ = false;
  if (!createWindow("修改域名", 448, 182, nullptr, kDialogBackground)) return false;
  runModal(blockedWindow);
  nameBox_ = nullptr;
  return accepted_;
}

void ModifyDomainDialog::onCreate() {
  HWND dlg = hwnd();
  createChild(dlg, L"STATIC", "请输入域名", SS_LEFT, 15, 11, 385, 24, kIdPrompt, font(L"宋体", -14));
  HWND frame = createFrame(dlg, kIdFrame, 16, 40, 408, 48);
  nameBox_ = createChild(frame, L"EDIT", initialName, WS_TABSTOP | ES_AUTOHSCROLL, 8, 10, 392, 27, kIdName,
                         font(L"Arial", -14, true));

  struct Picture {
    int id;
    const char* name;  // not drawn; names the button for screen readers
    int x, y;
  };
  const Picture pictures[] = {
      {kIdSite, "网站", 16, 106}, {kIdBaidu, "百度", 48, 107}, {kIdGoogle, "Google", 80, 107}, {kIdKeyword, "关键词", 110, 105}};
  for (const Picture& p : pictures)
    createChild(dlg, L"BUTTON", p.name, WS_TABSTOP | BS_OWNERDRAW, p.x, p.y, 21, 16, p.id, nullptr);

  createChild(dlg, L"BUTTON", "确定", WS_TABSTOP | BS_DEFPUSHBUTTON, 256, 102, 80, 27, IDOK, uiFont());
  createChild(dlg, L"BUTTON", "取消", WS_TABSTOP | BS_PUSHBUTTON, 345, 102, 80, 27, IDCANCEL, uiFont());
  setInitialFocus(nameBox_);
}

void ModifyDomainDialog::onCommand(int id, int code, HWND) {
  if (code != BN_CLICKED || !inModalLoop()) return;
  switch (id) {
    case IDOK:
      text_ = windowText(nameBox_);
      accepted_ = true;
      endModal();
      break;
    case IDCANCEL: endModal(); break;
    case kIdSite:
    case kIdBaidu:
    case kIdGoogle:
    case kIdKeyword:
      // The text as it stands in the box; the dialog stays open.
      if (launcher) openShortcut(id - kIdSite + 1, hosts, windowText(nameBox_), *launcher);
      break;
    default: break;
  }
}

LRESULT ModifyDomainDialog::onCtlColor(UINT msg, HDC dc, HWND control) {
  if (msg == WM_CTLCOLOREDIT && control == nameBox_) {
    SetTextColor(dc, kNameRed);
    SetBkColor(dc, RGB(255, 255, 255));
    return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
  }
  return ToolWindow::onCtlColor(msg, dc, control);
}

bool ModifyDomainDialog::onDrawItem(const DRAWITEMSTRUCT& item) {
  const int shortcut = static_cast<int>(item.CtlID) - kIdSite + 1;
  if (item.CtlType != ODT_BUTTON || shortcut < 1 || shortcut > 4) return false;
  RECT r = item.rcItem;
  FillRect(item.hDC, &r, backgroundBrush());
  const Scale s{dpi()};
  const int pushed = (item.itemState & ODS_SELECTED) ? s(1) : 0;
  const int x = r.left + (r.right - r.left - s(16)) / 2 + pushed;
  const int y = r.top + (r.bottom - r.top - s(16)) / 2 + pushed;
  drawShortcutPicture(item.hDC, shortcut, x, y, s);
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &r);
  return true;
}

}  // namespace dvx
