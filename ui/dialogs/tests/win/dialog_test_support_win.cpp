#include "dialog_test_support_win.h"

#include <gtest/gtest.h>


#include "ui/common/wide_win.h"

namespace dvx {
namespace dlgtest {

namespace {

std::function<void()> g_driver;
ToolWindow* g_guarded = nullptr;
bool g_guardFired = false;

void CALLBACK driverTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto driver = std::move(g_driver);
  g_driver = nullptr;
  if (driver) driver();
}

void CALLBACK guardTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_guarded && g_guarded->hwnd()) {
    g_guardFired = true;
    PostMessageW(g_guarded->hwnd(), WM_CLOSE, 0, 0);
  }
}

LRESULT CALLBACK hostProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }

}  // namespace

MadeDirectory CountingFiles::createDirectory(const std::filesystem::path& dir) {
  ++directoriesMade;
  if (CreateDirectoryW(dir.c_str(), nullptr)) return MadeDirectory::Created;
  return GetLastError() == ERROR_ALREADY_EXISTS ? MadeDirectory::Existed : MadeDirectory::Failed;
}

bool CountingFiles::writeWholeFile(const std::filesystem::path& file, const std::string& bytes) {
  HANDLE f = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(f);
  return ok;
}

std::filesystem::path CountingFiles::windowsDirectory() {
  wchar_t buf[MAX_PATH + 1] = {};
  GetWindowsDirectoryW(buf, MAX_PATH);
  return std::filesystem::path(buf);
}

std::filesystem::path CountingFiles::systemDirectory() {
  wchar_t buf[MAX_PATH + 1] = {};
  GetSystemDirectoryW(buf, MAX_PATH);
  return std::filesystem::path(buf);
}

bool runDriven(ToolWindow& dialog, const std::function<bool()>& run, const std::function<void()>& driver) {
  g_driver = driver;
  g_guarded = &dialog;
  g_guardFired = false;
  // Timer messages come only once the queue is empty, so the driver runs
  // inside the dialog's own loop after it has shown the window.
  SetTimer(nullptr, 0, 1, &driverTimer);
  const UINT_PTR guard = SetTimer(nullptr, 0, 20000, &guardTimer);
  const bool result = run();
  KillTimer(nullptr, guard);
  g_guarded = nullptr;
  EXPECT_FALSE(g_guardFired) << "the driver left the dialog open";
  EXPECT_EQ(dialog.hwnd(), nullptr) << "the dialog window outlived run()";
  return result;
}

HostWindow::HostWindow() {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &hostProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DvxTestHost";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    return RegisterClassW(&wc) != 0;
  }();
  if (!registered) return;
  hwnd_ = CreateWindowExW(0, L"DvxTestHost", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 700, 500, nullptr,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
}

Box childBox(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return Box{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

SIZE outerSize(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

namespace {
LOGFONTW logFont(HWND control) {
  LOGFONTW lf{};
  HFONT f = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  if (f) GetObjectW(f, sizeof lf, &lf);
  return lf;
}
}  // namespace

std::string fontFace(HWND control) { return fromWide(logFont(control).lfFaceName); }
int fontPixels(HWND control) { return -logFont(control).lfHeight; }
bool fontBold(HWND control) { return logFont(control).lfWeight >= FW_BOLD; }

void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

bool isChecked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::string readFileBytes(const std::string& gbkPath) {
  HANDLE f = CreateFileW(toWide(gbkPath).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  CloseHandle(f);
  return out;
}

}  // namespace dlgtest
}  // namespace dvx
