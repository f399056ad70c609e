// The DPI windows are drawn at, and the fonts of a window at its DPI.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "ui/common/dpi_scale.h"

namespace dvx {

// The window's DPI: GetDpiForWindow where Windows has it (10, version 1607
// on), otherwise the screen's. Never below 1.
int windowDpi(HWND window);
// The DPI of the screen for a window not made yet.
int screenDpi();
// The new DPI a WM_DPICHANGED carries.
inline int dpiFromMessage(WPARAM wParam) { return usableDpi(LOWORD(wParam)); }

// The fonts of one top-level window, made at its DPI from their 96-DPI
// heights. On a DPI change they are made again and handed to every control
// under the window that showed one of the old ones.
class DpiFonts {
 public:
  DpiFonts() = default;
  ~DpiFonts();
  DpiFonts(const DpiFonts&) = delete;
  DpiFonts& operator=(const DpiFonts&) = delete;

  int dpi() const { return dpi_; }
  // Drops every font; those made from now on are for `dpi`.
  void reset(int dpi);
  // `height96` as CreateFont takes it at 96 DPI: negative for the character
  // height, positive for the whole line. The same request gives the same font.
  HFONT get(const wchar_t* face, int height96, bool bold = false, bool underline = false);
  void rescale(HWND top, int dpi);

 private:
  struct Entry {
    std::wstring face;
    int height96;
    bool bold, underline;
    HFONT font;
  };
  std::vector<Entry> entries_;
  int dpi_ = kDesignDpi;
};

}  // namespace dvx
