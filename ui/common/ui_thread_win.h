// The one way worker threads reach windows: a synchronous message that runs
// a batch of work on the thread that owns the window.
#pragma once
#include <windows.h>

#include <functional>

namespace dvx {

// Runs `work` on the thread of `window` and waits for it. On that thread
// itself it runs at once. Returns false (and runs nothing) when the window
// no longer exists; the caller must then re-check before touching rows.
bool runOnUiThread(HWND window, const std::function<void()>& work);

// Called by the window procedure for WM_APP_RUN.
LRESULT handleRunMessage(WPARAM wParam);

}  // namespace dvx
