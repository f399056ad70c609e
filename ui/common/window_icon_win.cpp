#include "ui/common/window_icon_win.h"

#include "ui/common/dpi_scale.h"

namespace dvx {

namespace {

using MetricsForDpiFn = int(WINAPI*)(int, UINT);

MetricsForDpiFn metricsForDpiFunction() {
  // Windows 10 1607 on; older systems scale the 96-DPI size themselves.
  static const MetricsForDpiFn fn = [] {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<MetricsForDpiFn>(
                      reinterpret_cast<void*>(GetProcAddress(user, "GetSystemMetricsForDpi")))
                : nullptr;
  }();
  return fn;
}

HICON loadAtSize(const wchar_t* name, int size) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

int iconSizeForDpi(int metric, int dpi) {
  if (MetricsForDpiFn fn = metricsForDpiFunction()) {
    const int size = fn(metric, static_cast<UINT>(dpi));
    if (size > 0) return size;
  }
  return scaleForDpi(metric == SM_CXSMICON ? 16 : 32, dpi);
}

void WindowIcons::apply(HWND window, const wchar_t* name, int dpi) {
  HICON smallIcon = loadAtSize(name, iconSizeForDpi(SM_CXSMICON, dpi));
  HICON bigIcon = loadAtSize(name, iconSizeForDpi(SM_CXICON, dpi));
  if (!smallIcon || !bigIcon) {
    // A size that could not be made keeps the icons the window shows.
    if (smallIcon) DestroyIcon(smallIcon);
    if (bigIcon) DestroyIcon(bigIcon);
    return;
  }
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
  release();
  small_ = smallIcon;
  big_ = bigIcon;
}

void WindowIcons::release() {
  if (small_) DestroyIcon(small_);
  if (big_) DestroyIcon(big_);
  small_ = big_ = nullptr;
}

}  // namespace dvx
