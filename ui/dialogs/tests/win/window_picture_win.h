// A window as it stands on the screen, saved as a 24-bit BMP file, for the
// pictures in docs/screenshots.
#pragma once
#include <windows.h>

#include <string>

namespace dvx {

// Repaints the window, lets the paints run, and saves what the screen shows
// where the window is (frame included). False when the file cannot be written.
bool saveWindowPicture(HWND window, const std::wstring& bmpPath);

}  // namespace dvx
