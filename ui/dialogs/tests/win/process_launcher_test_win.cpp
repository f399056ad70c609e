// The real launcher: a GBK command line reaches the new process intact, and
// the program is taken from the Windows folders, never the program's own.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialog_test_support_win.h"
#include "ui/dialogs/process_launcher_win.h"
#include "ui/common/wide_win.h"

namespace dvx {
namespace {
using namespace dlgtest;

TEST(WinProcessLauncher, StartsTheCommandLineAndReportsNothing) {
  wchar_t base[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, base);
  const std::string dir = fromWide(base) + "dvx_launch_" + std::to_string(GetCurrentProcessId()) + " 中文目录";
  RemoveDirectoryW(toWide(dir).c_str());

  WinProcessLauncher launcher;
  launcher.launch("cmd.exe /c mkdir \"" + dir + "\"");
  EXPECT_TRUE(pumpUntil([&] { return GetFileAttributesW(toWide(dir).c_str()) != INVALID_FILE_ATTRIBUTES; }, 20000))
      << dir;
  RemoveDirectoryW(toWide(dir).c_str());

  // Nothing to start: no message, no exception, back at once.
  launcher.launch("dvx_no_such_program_here.exe \"http://a.com\"");
  launcher.launch("");
}

// Notepad gets the file's path in UTF-16: a folder name GBK cannot hold
// ("Gökhan", Korean) opens the file itself, not a garbled name.
TEST(WinProcessLauncher, NotepadOpensAFileUnderAFolderGbkCannotHold) {
  wchar_t base[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, base);
  const std::wstring dir = std::wstring(base) + L"dvx_G\u00f6khan_\uae40" + std::to_wstring(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  const std::wstring file = dir + L"\\dvx_notepad_probe.txt";
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  WriteFile(h, "probe", 5, &n, nullptr);
  CloseHandle(h);

  WinProcessLauncher launcher;
  launcher.openInNotepad(file, "");
  // Notepad names the file it opened in its caption; a name it could not
  // open leaves it untitled behind a question.
  HWND notepad = nullptr;
  EXPECT_TRUE(pumpUntil(
      [&] {
        notepad = nullptr;
        EnumWindows(
            [](HWND w, LPARAM found) -> BOOL {
              wchar_t title[256] = {};
              GetWindowTextW(w, title, 256);
              if (!wcsstr(title, L"dvx_notepad_probe")) return TRUE;
              *reinterpret_cast<HWND*>(found) = w;
              return FALSE;
            },
            reinterpret_cast<LPARAM>(&notepad));
        return notepad != nullptr;
      },
      20000));
  if (notepad) PostMessageW(notepad, WM_CLOSE, 0, 0);
  DeleteFileW(file.c_str());
  RemoveDirectoryW(dir.c_str());
}

// A file for the life of the test; an existing one is left alone.
class PlantedFile {
 public:
  explicit PlantedFile(std::wstring path) : path_(std::move(path)) {
    HANDLE h = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD n = 0;
    WriteFile(h, "MZ", 2, &n, nullptr);
    CloseHandle(h);
    made_ = true;
  }
  ~PlantedFile() {
    if (made_) DeleteFileW(path_.c_str());
  }
  bool made() const { return made_; }

 private:
  std::wstring path_;
  bool made_ = false;
};

TEST(WinProcessLauncher, ProgramsComeFromTheWindowsFoldersNeverTheProgramFolder) {
  wchar_t buf[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryW(buf, MAX_PATH), 0u);
  const std::wstring windows = buf;
  ASSERT_GT(GetModuleFileNameW(nullptr, buf, MAX_PATH), 0u);
  std::wstring programDir = buf;
  programDir.resize(programDir.find_last_of(L'\\'));
  // The search path starts with the program folder (and the current one).
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  SetCurrentDirectoryW(programDir.c_str());
  PlantedFile explorer(programDir + L"\\explorer.exe");
  PlantedFile notepad(programDir + L"\\notepad.exe");
  PlantedFile planted(programDir + L"\\dvx_planted.exe");
  ASSERT_TRUE(explorer.made() && notepad.made() && planted.made()) << fromWide(programDir);

  EXPECT_EQ(systemProgramPath(L"explorer"), windows + L"\\explorer.exe");
  const std::wstring notepadPath = systemProgramPath(L"notepad.exe");
  ASSERT_GE(notepadPath.size(), windows.size() + 12);
  EXPECT_EQ(notepadPath.compare(0, windows.size() + 1, windows + L"\\"), 0) << fromWide(notepadPath);
  EXPECT_EQ(notepadPath.substr(notepadPath.size() - 12), L"\\notepad.exe");
  // Only in the program folder, or named with a folder: nothing.
  for (const std::wstring& name : {std::wstring(L"dvx_planted"), std::wstring(L"dvx_planted.exe"),
                                   programDir + L"\\dvx_planted.exe", std::wstring(L".\\dvx_planted.exe"),
                                   std::wstring(L"..\\explorer.exe"), std::wstring()})
    EXPECT_EQ(systemProgramPath(name), L"") << fromWide(name);
  SetCurrentDirectoryW(current);
}

}  // namespace
}  // namespace dvx
