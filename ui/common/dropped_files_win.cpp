#include "ui/common/dropped_files_win.h"

namespace dvx {

std::vector<std::wstring> takeDroppedFiles(HDROP drop) {
  std::vector<std::wstring> paths;
  if (!drop) return paths;
  try {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      // The length first: a fixed MAX_PATH buffer would cut long paths.
      const UINT length = DragQueryFileW(drop, i, nullptr, 0);
      if (length == 0) continue;
      std::wstring path(length + 1, L'\0');
      const UINT got = DragQueryFileW(drop, i, &path[0], length + 1);
      path.resize(got);
      if (!path.empty()) paths.push_back(std::move(path));
    }
  } catch (...) {
    // Out of memory: the paths read so far are used.
  }
  DragFinish(drop);
  return paths;
}

}  // namespace dvx
