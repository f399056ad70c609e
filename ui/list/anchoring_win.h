// Resize anchoring of child windows: registration and the parent subclass
// that moves the registered controls on every size change.
#pragma once
#include <windows.h>

namespace dvx {

// Types 1 to 6 (see anchor_layout.h); any other value registers nothing.
// Must run on the thread that owns the control.
void anchorControl(HWND control, int anchorType);

}  // namespace dvx
