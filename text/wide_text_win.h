// GBK text inside the system, UTF-16 at the Windows W APIs: the one
// conversion both the window layer and the page fetch use.
#pragma once
#include <string>

namespace dvx {

std::wstring toWide(const std::string& gbk);
std::string fromWide(const std::wstring& wide);
std::string fromWide(const wchar_t* wide);

}  // namespace dvx
