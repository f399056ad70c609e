#include "startup/file_platform_win.h"

#include <windows.h>
#include <shlobj.h>

#include "startup/scoped_handle_win.h"
#include "text/wide_text_win.h"

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

bool WinFilePlatform::canWriteIn(const std::string& gbkDir) {
  std::wstring probe = toWide(gbkDir);
  if (!probe.empty() && probe.back() != L'\\') probe += L'\\';
  probe += L"domivex-probe-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  // Deleted when the handle closes, so the probe never stays behind.
  ScopedHandle f(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return f.get() != INVALID_HANDLE_VALUE;
}

std::string WinFilePlatform::localAppDataDirectory() {
  PWSTR path = nullptr;
  std::wstring dir;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path)) && path) dir = path;
  CoTaskMemFree(path);
  if (dir.empty()) {
    wchar_t buf[MAX_PATH + 1] = {};
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", buf, MAX_PATH);
    if (n > 0 && n <= MAX_PATH) dir.assign(buf, n);
  }
  while (!dir.empty() && dir.back() == L'\\') dir.pop_back();
  return fromWide(dir);
}

}  // namespace dvx
