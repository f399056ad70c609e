// The files of a drop (WM_DROPFILES) as wide paths.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace dvx {

// Every path the drop carries, in its order, each read whole whatever its
// length; the drop is finished (DragFinish) and must not be used again.
std::vector<std::wstring> takeDroppedFiles(HDROP drop);

}  // namespace dvx
