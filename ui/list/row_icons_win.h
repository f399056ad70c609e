#pragma once
#include <windows.h>
#include <commctrl.h>

namespace dvx {
// The list's icon set: 87 small images drawn at run time; rows use entry 81.
// The list that receives it destroys it.
HIMAGELIST createRowImageList();
}  // namespace dvx
