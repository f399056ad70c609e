#include "startup/file_platform_win.h"

#include <windows.h>
#include <aclapi.h>
#include <shlobj.h>

#include <vector>

#include "startup/scoped_handle_win.h"

namespace dvx {
namespace fs = std::filesystem;

namespace {

fs::path systemFolder(UINT (WINAPI* get)(LPWSTR, UINT), const wchar_t* fallback) {
  std::vector<wchar_t> buf(MAX_PATH + 1);
  UINT n = get(buf.data(), static_cast<UINT>(buf.size()));
  if (n >= buf.size()) {
    buf.resize(n + 1);
    n = get(buf.data(), static_cast<UINT>(buf.size()));
  }
  return n > 0 && n < buf.size() ? fs::path(std::wstring(buf.data(), n)) : fs::path(fallback);
}

// The SID of the user the process runs as.
bool processUser(std::vector<BYTE>& user) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  ScopedHandle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return false;
  user.resize(size);
  return GetTokenInformation(token.get(), TokenUser, user.data(), size, &size) != FALSE;
}

// The directory's owner is this user, or an account that may do anything
// anyway (an elevated start makes its folders the Administrators' own).
bool ownedByUs(HANDLE dir) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (GetSecurityInfo(dir, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                      &sd) != ERROR_SUCCESS)
    return false;
  std::vector<BYTE> user;
  bool ours = owner != nullptr && processUser(user) &&
              EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
  if (!ours && owner != nullptr)
    ours = IsWellKnownSid(owner, WinBuiltinAdministratorsSid) || IsWellKnownSid(owner, WinLocalSystemSid);
  LocalFree(sd);
  return ours;
}

}  // namespace

MadeDirectory WinFilePlatform::createDirectory(const fs::path& dir) {
  if (CreateDirectoryW(dir.c_str(), nullptr)) return MadeDirectory::Created;
  return GetLastError() == ERROR_ALREADY_EXISTS ? MadeDirectory::Existed : MadeDirectory::Failed;
}

bool WinFilePlatform::writeWholeFile(const fs::path& file, const std::string& bytes) {
  // Written under a fresh name beside, then renamed over the file: a rename
  // replaces a link planted in the file's place instead of following it,
  // and a name that exists already is never opened.
  std::wstring temp = file.native() + L".new-" + std::to_wstring(GetCurrentProcessId());
  bool written = false;
  {
    ScopedHandle f(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (f.get() == INVALID_HANDLE_VALUE) return false;
    DWORD count = 0;
    written = WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &count, nullptr) &&
              count == bytes.size();
  }
  if (written && MoveFileExW(temp.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileW(temp.c_str());
  return false;
}

fs::path WinFilePlatform::windowsDirectory() { return systemFolder(GetWindowsDirectoryW, L"C:\\Windows"); }

fs::path WinFilePlatform::systemDirectory() {
  return systemFolder(GetSystemDirectoryW, L"C:\\Windows\\System32");
}

bool WinFilePlatform::canWriteIn(const fs::path& dir) {
  std::wstring probe = dir.native();
  if (!probe.empty() && probe.back() != L'\\') probe += L'\\';
  probe += L"domivex-probe-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
  // Deleted when the handle closes, so the probe never stays behind.
  ScopedHandle f(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return f.get() != INVALID_HANDLE_VALUE;
}

fs::path WinFilePlatform::localAppDataDirectory() {
  PWSTR path = nullptr;
  std::wstring dir;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path)) && path) dir = path;
  CoTaskMemFree(path);
  if (dir.empty()) {
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (n > 1) {
      std::vector<wchar_t> buf(n);
      if (GetEnvironmentVariableW(L"LOCALAPPDATA", buf.data(), n) == n - 1) dir.assign(buf.data(), n - 1);
    }
  }
  while (!dir.empty() && dir.back() == L'\\') dir.pop_back();
  return fs::path(dir);
}

bool WinFilePlatform::fileExists(const fs::path& file) {
  const DWORD attributes = GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFilePlatform::isTrustedDirectory(const fs::path& dir, bool createdNow) {
  // Named without a trailing separator, which would lead through a link.
  std::wstring name = dir.native();
  while (name.size() > 3 && (name.back() == L'\\' || name.back() == L'/')) name.pop_back();
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  // The directory itself is opened, not what a reparse point leads to.
  ScopedHandle h(CreateFileW(name.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (h.get() == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!GetFileInformationByHandle(h.get(), &info)) return false;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  return createdNow || ownedByUs(h.get());
}

}  // namespace dvx
