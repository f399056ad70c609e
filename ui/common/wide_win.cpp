#include "ui/common/wide_win.h"

#include <vector>

namespace dvx {

std::string windowText(HWND hwnd) {
  // Lengths here are UTF-16 characters, not bytes.
  const int chars = GetWindowTextLengthW(hwnd);
  if (chars <= 0) return std::string();
  std::vector<wchar_t> buf(static_cast<size_t>(chars) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, buf.data(), chars + 1);
  return fromWide(std::wstring(buf.data(), static_cast<size_t>(got > 0 ? got : 0)));
}

void setWindowText(HWND hwnd, const std::string& gbk) { SetWindowTextW(hwnd, toWide(gbk).c_str()); }

}  // namespace dvx
