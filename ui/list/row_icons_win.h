#pragma once
#include <windows.h>
#include <commctrl.h>

namespace dvx {
// The list's icon set: 87 small images drawn at run time, 16 x 16 at 96 DPI
// and drawn again at the size for `dpi`, never stretched; rows use entry 81.
// The list that receives it destroys it.
HIMAGELIST createRowImageList(int dpi = 96);
}  // namespace dvx
