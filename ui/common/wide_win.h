// The window layer's edge: GBK text inside the system, UTF-16 at the W APIs.
#pragma once
#include <windows.h>

#include <string>

namespace dvx {

std::wstring toWide(const std::string& gbk);
std::string fromWide(const std::wstring& wide);
std::string fromWide(const wchar_t* wide);

// The whole text of a window (edit box, button, static), as GBK.
std::string windowText(HWND hwnd);
void setWindowText(HWND hwnd, const std::string& gbk);

}  // namespace dvx
