#include "app/file_platform_win.h"

#include <windows.h>

#include "ui/common/scoped_handle_win.h"
#include "ui/common/wide_win.h"

namespace dvx {

bool WinFilePlatform::createDirectory(const std::string& gbkPath) {
  return CreateDirectoryW(toWide(gbkPath).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WinFilePlatform::writeWholeFile(const std::string& gbkPath, const std::string& bytes) {
  ScopedHandle f(CreateFileW(toWide(gbkPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (f.get() == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::string WinFilePlatform::windowsDirectory() {
  wchar_t buf[MAX_PATH + 1] = {};
  const UINT n = GetWindowsDirectoryW(buf, MAX_PATH);
  return n > 0 && n <= MAX_PATH ? fromWide(std::wstring(buf, n)) : std::string("C:\\Windows");
}

std::string WinFilePlatform::systemDirectory() {
  wchar_t buf[MAX_PATH + 1] = {};
  const UINT n = GetSystemDirectoryW(buf, MAX_PATH);
  return n > 0 && n <= MAX_PATH ? fromWide(std::wstring(buf, n)) : std::string("C:\\Windows\\System32");
}

}  // namespace dvx
