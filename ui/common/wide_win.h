// The window layer's edge: GBK text inside the system, UTF-16 at the W APIs.
#pragma once
#include <windows.h>

#include <string>

#include "text/wide_text_win.h"

namespace dvx {

// The whole text of a window (edit box, button, static), as GBK.
std::string windowText(HWND hwnd);
void setWindowText(HWND hwnd, const std::string& gbk);

}  // namespace dvx
