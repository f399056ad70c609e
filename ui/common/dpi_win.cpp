#include "ui/common/dpi_win.h"

#include <utility>

#include "ui/common/gdi_win.h"

namespace dvx {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn dpiForWindowFunction() {
  // Looked up once: older Windows lacks it, and the program must still start there.
  static const GetDpiForWindowFn fn = [] {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<GetDpiForWindowFn>(
                      reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
                : nullptr;
  }();
  return fn;
}

int dcDpi(HWND window) {
  HDC dc = GetDC(window);
  if (!dc) return kDesignDpi;
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(window, dc);
  return usableDpi(dpi);
}

struct FontSwap {
  std::vector<std::pair<HFONT, HFONT>> oldToNew;
};

BOOL CALLBACK swapFont(HWND child, LPARAM lParam) {
  const auto& swap = *reinterpret_cast<const FontSwap*>(lParam);
  const auto shown = reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0));
  for (const auto& p : swap.oldToNew)
    if (shown && shown == p.first) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(p.second), TRUE);
  return TRUE;
}

}  // namespace

int windowDpi(HWND window) {
  if (GetDpiForWindowFn fn = dpiForWindowFunction()) {
    const UINT dpi = window ? fn(window) : 0;
    if (dpi > 0) return usableDpi(static_cast<int>(dpi));
  }
  return dcDpi(window);
}

int screenDpi() { return dcDpi(nullptr); }

DpiFonts::~DpiFonts() { reset(kDesignDpi); }

void DpiFonts::reset(int dpi) {
  for (const Entry& e : entries_) DeleteObject(e.font);
  entries_.clear();
  dpi_ = usableDpi(dpi);
}

HFONT DpiFonts::get(const wchar_t* face, int height96, bool bold, bool underline) {
  for (const Entry& e : entries_)
    if (e.face == face && e.height96 == height96 && e.bold == bold && e.underline == underline) return e.font;
  HFONT font = makeFontOfHeight(face, scaleForDpi(height96, dpi_), bold, underline);
  if (!font) return nullptr;
  entries_.push_back(Entry{face, height96, bold, underline, font});
  return font;
}

void DpiFonts::rescale(HWND top, int dpi) {
  dpi = usableDpi(dpi);
  if (dpi == dpi_) return;
  dpi_ = dpi;
  FontSwap swap;
  for (Entry& e : entries_) {
    HFONT font = makeFontOfHeight(e.face.c_str(), scaleForDpi(e.height96, dpi_), e.bold, e.underline);
    if (!font) continue;  // the old one stays rather than none
    swap.oldToNew.emplace_back(e.font, font);
    e.font = font;
  }
  if (top) EnumChildWindows(top, &swapFont, reinterpret_cast<LPARAM>(&swap));
  for (const auto& p : swap.oldToNew) DeleteObject(p.first);
}

}  // namespace dvx
