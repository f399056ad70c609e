// Resize anchoring of child windows: registration and the parent subclass
// that moves the registered controls on every size change.
#pragma once
#include <windows.h>

namespace dvx {

// Types 1 to 6 (see anchor_layout.h); any other value registers nothing.
// Must run on the thread that owns the control. `dpi` is the parent's DPI
// now (0: ask the parent). A WM_DPICHANGED reaching the parent lays its
// controls out again at the new DPI, from what was measured here.
void anchorControl(HWND control, int anchorType, int dpi = 0);

}  // namespace dvx
