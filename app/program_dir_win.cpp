#include "app/program_dir_win.h"

#include <windows.h>

#include <vector>

namespace dvx {

std::filesystem::path programDirectory() {
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return std::filesystem::path(L".");
    if (n < buf.size()) {
      std::wstring path(buf.data(), n);
      const size_t slash = path.find_last_of(L"\\/");
      return std::filesystem::path(slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash));
    }
    buf.resize(buf.size() * 2);
  }
}

}  // namespace dvx
