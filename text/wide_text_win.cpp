#include "text/wide_text_win.h"

#include <windows.h>

namespace dvx {

namespace {
constexpr UINT kGbk = 936;
}

std::wstring toWide(const std::string& gbk) {
  if (gbk.empty()) return std::wstring();
  const int n = MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), &out[0], n);
  return out;
}

std::string fromWide(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int n = WideCharToMultiByte(kGbk, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kGbk, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
  return out;
}

std::string fromWide(const wchar_t* wide) { return wide ? fromWide(std::wstring(wide)) : std::string(); }

}  // namespace dvx
