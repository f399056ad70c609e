// The program's icon on a window's caption and taskbar button, drawn from the
// image made for the window's DPI rather than stretched from another size.
#pragma once
#include <windows.h>

namespace dvx {

class WindowIcons {
 public:
  WindowIcons() = default;
  ~WindowIcons() { release(); }
  WindowIcons(const WindowIcons&) = delete;
  WindowIcons& operator=(const WindowIcons&) = delete;

  // Loads the resource icon `name` at the small and big icon sizes of `dpi`
  // and gives them to `window` (WM_SETICON). Call again on a DPI change; the
  // icons given before are destroyed once the window holds the new ones.
  void apply(HWND window, const wchar_t* name, int dpi);
  HICON smallIcon() const { return small_; }
  HICON bigIcon() const { return big_; }

 private:
  void release();
  HICON small_ = nullptr;
  HICON big_ = nullptr;
};

// The system's icon size (SM_CXSMICON or SM_CXICON) at `dpi`.
int iconSizeForDpi(int metric, int dpi);

}  // namespace dvx
