#include "ui/common/ui_thread_win.h"

#include "ui/common/app_messages_win.h"

namespace dvx {

bool runOnUiThread(HWND window, const std::function<void()>& work) {
  if (!IsWindow(window)) return false;
  if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
    work();
    return true;
  }
  // A plain blocking send: a time-out would drop work silently while the UI
  // thread is busy. It gives 0 when the window is gone before it is handled.
  return SendMessageW(window, WM_APP_RUN, reinterpret_cast<WPARAM>(&work), 0) == 1;
}

LRESULT handleRunMessage(WPARAM wParam) {
  auto* work = reinterpret_cast<const std::function<void()>*>(wParam);
  if (!work) return 0;
  try {
    (*work)();
  } catch (...) {
    // No exception crosses the window procedure.
  }
  return 1;
}

}  // namespace dvx
