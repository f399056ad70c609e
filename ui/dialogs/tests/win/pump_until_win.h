// Waiting on window state in tests: process this thread's messages until a
// condition holds or the time passes. Waits on the message queue, never
// sleeps blindly.
#pragma once
#include <windows.h>

#include <functional>

namespace dvx {
namespace testing_win {

inline bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return done();
    // Wake on the next message, or re-check the state every 20 ms.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

}  // namespace testing_win
}  // namespace dvx
