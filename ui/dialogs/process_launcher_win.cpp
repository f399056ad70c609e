#include "ui/dialogs/process_launcher_win.h"

#include <windows.h>

#include <vector>

#include "startup/scoped_handle_win.h"
#include "ui/common/wide_win.h"

namespace dvx {

namespace {

// A folder Windows reports, without a trailing separator; empty on failure.
std::wstring systemFolder(UINT (WINAPI* get)(LPWSTR, UINT)) {
  std::vector<wchar_t> buf(MAX_PATH);
  UINT n = get(buf.data(), static_cast<UINT>(buf.size()));
  if (n >= buf.size()) {
    buf.resize(n + 1);
    n = get(buf.data(), static_cast<UINT>(buf.size()));
  }
  if (n == 0 || n >= buf.size()) return std::wstring();
  std::wstring dir(buf.data(), n);
  while (!dir.empty() && dir.back() == L'\\') dir.pop_back();
  return dir;
}

bool isFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The program word of a command line: up to the first blank, or between
// the quotes when it starts with one.
std::wstring programWord(const std::wstring& line) {
  if (!line.empty() && line[0] == L'"') {
    const size_t end = line.find(L'"', 1);
    return line.substr(1, end == std::wstring::npos ? std::wstring::npos : end - 1);
  }
  return line.substr(0, line.find_first_of(L" \t"));
}

}  // namespace

std::wstring systemProgramPath(const std::wstring& name) {
  if (name.empty() || name.find_first_of(L"\\/:") != std::wstring::npos || name == L"." || name == L"..")
    return std::wstring();
  const std::wstring file = name.find(L'.') == std::wstring::npos ? name + L".exe" : name;
  for (const std::wstring& dir : {systemFolder(GetWindowsDirectoryW), systemFolder(GetSystemDirectoryW)}) {
    if (dir.empty()) continue;
    const std::wstring path = dir + L"\\" + file;
    if (isFile(path)) return path;
  }
  return std::wstring();
}

void WinProcessLauncher::launch(const std::string& gbkCommandLine) { start(toWide(gbkCommandLine)); }

void WinProcessLauncher::openInNotepad(const std::filesystem::path& file, const std::string&) {
  // A Windows file name holds no quote and does not end in a separator, so
  // quoting it whole is enough.
  start(L"notepad.exe \"" + file.wstring() + L"\"");
}

void WinProcessLauncher::start(const std::wstring& wide) {
  // With the program's full path given, CreateProcessW searches nowhere.
  const std::wstring program = systemProgramPath(programWord(wide));
  if (program.empty()) return;
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::vector<wchar_t> line(wide.begin(), wide.end());
  line.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return;
  ScopedHandle process(pi.hProcess);
  ScopedHandle thread(pi.hThread);
  WaitForInputIdle(process.get(), 1000);
}

}  // namespace dvx
