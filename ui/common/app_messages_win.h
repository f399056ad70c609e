// The program's own window messages, one enum so none collide.
#pragma once
#include <windows.h>

namespace dvx {

enum AppMessage : UINT {
  // wParam: pointer to a std::function<void()> run on the window's thread.
  WM_APP_RUN = WM_APP + 1,
};

}  // namespace dvx
