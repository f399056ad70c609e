#include "test_support_win.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "text/codepage.h"
#include "ui/common/wide_win.h"

namespace dvx {
namespace testing_win {
namespace fs = std::filesystem;

namespace {
std::wstring g_caption;
std::function<void(HWND)> g_action;
UINT_PTR g_timer = 0;

void CALLBACK pollForWindow(HWND, UINT, UINT_PTR, DWORD) {
  HWND found = FindWindowW(nullptr, g_caption.c_str());
  if (!found || !IsWindowVisible(found)) return;
  KillTimer(nullptr, g_timer);
  g_timer = 0;
  auto action = std::move(g_action);
  g_action = nullptr;
  if (action) action(found);
}
}  // namespace

void whenWindowAppears(const std::string& caption, std::function<void(HWND)> action) {
  g_caption = toWide(caption);
  g_action = std::move(action);
  if (g_timer) KillTimer(nullptr, g_timer);
  g_timer = SetTimer(nullptr, 0, 20, &pollForWindow);
}

HWND topWindowOf(DWORD pid, const wchar_t* className, const std::string& caption) {
  struct Search {
    DWORD pid;
    const wchar_t* className;
    std::string caption;
    HWND found;
  } search{pid, className, caption, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != s->pid || !IsWindowVisible(hwnd)) return TRUE;
        wchar_t cls[64] = {};
        GetClassNameW(hwnd, cls, 64);
        if (s->className ? wcscmp(cls, s->className) != 0 : windowText(hwnd) != s->caption) return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND findDescendant(HWND parent, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (GetDlgCtrlID(child) != s->id) return TRUE;
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TempDir::TempDir() {
  wchar_t base[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, base);
  static int counter = 0;
  for (;;) {
    std::wstring candidate = std::wstring(base) + L"dvx_test_" + std::to_wstring(GetCurrentProcessId()) +
                             L"_" + std::to_wstring(++counter);
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = fromWide(candidate);
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(fs::u8path(gbkToUtf8(path_)), ec);
}

std::string readFileBytes(const std::string& gbkPath) {
  std::ifstream in(fs::u8path(gbkToUtf8(gbkPath)), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool fileExists(const std::string& gbkPath) {
  return GetFileAttributesW(toWide(gbkPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void removeFile(const std::string& gbkPath) { DeleteFileW(toWide(gbkPath).c_str()); }

RECT childRect(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace testing_win
}  // namespace dvx
