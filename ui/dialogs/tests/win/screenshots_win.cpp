// Opens each dialog and tool window in turn and saves a picture of it (a
// 24-bit BMP read back from the screen) into the folder named on the command
// line. Run by dialog_screenshots.sh inside a Wine virtual desktop.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "ui/dialogs/add_domains_dialog_win.h"
#include "ui/dialogs/export_dialog_win.h"
#include "ui/dialogs/help_centre_win.h"
#include "ui/dialogs/modify_domain_dialog_win.h"
#include "ui/dialogs/process_launcher.h"

namespace {

using namespace dvx;

std::wstring g_dir;
std::function<void()> g_step;

class NoLauncher : public ProcessLauncher {
 public:
  void launch(const std::string&) override {}
};

class NoFiles : public FilePlatform {
 public:
  bool createDirectory(const std::string&) override { return false; }
  bool writeWholeFile(const std::string&, const std::string&) override { return false; }
  std::string windowsDirectory() override { return "C:\\windows"; }
  std::string systemDirectory() override { return "C:\\windows\\system32"; }
};

void pumpPaints() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void save(HWND w, const wchar_t* name) {
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  pumpPaints();
  GdiFlush();
  RECT r{};
  GetWindowRect(w, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);

  BITMAPINFOHEADER bi{};
  bi.biSize = sizeof bi;
  bi.biWidth = width;
  bi.biHeight = height;
  bi.biPlanes = 1;
  bi.biBitCount = 24;
  bi.biCompression = BI_RGB;
  const DWORD stride = ((width * 3 + 3) / 4) * 4;
  std::string pixels(stride * height, '\0');
  GetDIBits(mem, bmp, 0, height, &pixels[0], reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bi;
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
  const std::wstring path = g_dir + L"\\" + name + L".bmp";
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD n = 0;
  WriteFile(f, &fh, sizeof fh, &n, nullptr);
  WriteFile(f, &bi, sizeof bi, &n, nullptr);
  WriteFile(f, pixels.data(), static_cast<DWORD>(pixels.size()), &n, nullptr);
  CloseHandle(f);
}

void CALLBACK stepTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto step = std::move(g_step);
  if (step) step();
}

// Runs `step` from inside the next modal loop, once it idles.
void soon(std::function<void()> step) {
  g_step = std::move(step);
  SetTimer(nullptr, 0, 300, &stepTimer);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) return 2;
  g_dir = argv[1];
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  NoLauncher launcher;
  NoFiles files;

  AddDomainsDialog add;
  soon([&] {
    SetWindowTextW(add.input(), L"example.com\r\nwww.例子.cn\r\nEXAMPLE.NET");
    save(add.hwnd(), L"add-domains");
    SendMessageW(GetDlgItem(add.hwnd(), IDCANCEL), BM_CLICK, 0, 0);
  });
  add.run();

  ModifyDomainDialog modify;
  modify.initialName = "example.com";
  modify.launcher = &launcher;
  soon([&] {
    save(modify.hwnd(), L"modify-domain");
    SendMessageW(GetDlgItem(modify.hwnd(), IDCANCEL), BM_CLICK, 0, 0);
  });
  modify.run();

  ExportSettingsDialog exporter;
  exporter.files = &files;
  exporter.launcher = &launcher;
  HWND e = exporter.open(nullptr);
  save(e, L"export");
  DestroyWindow(e);

  HelpCentreWindow help;
  help.launcher = &launcher;
  HWND h = help.open(nullptr);
  const wchar_t* names[] = {L"help-1-usage", L"help-2-expiry", L"help-3-links", L"help-4-whois"};
  for (int i = 0; i < 4; ++i) {
    SendMessageW(help.tabs(), TCM_SETCURFOCUS, i, 0);
    save(h, names[i]);
  }
  DestroyWindow(h);
  LocalFree(argv);
  return 0;
}
