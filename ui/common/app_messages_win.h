// The program's own window messages, one enum so none collide.
#pragma once
#include <windows.h>

namespace dvx {

enum AppMessage : UINT {
  // wParam: pointer to a std::function<void()> run on the window's thread.
  WM_APP_RUN = WM_APP + 1,
  // The reminder's notification-area icon: LOWORD(lParam) is the event.
  WM_APP_TRAY_ICON,
  // The main window: start a handed-over check once no job uses the store.
  WM_APP_DUE_CHECK,
};

}  // namespace dvx
