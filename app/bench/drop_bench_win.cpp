// Figures for an import under Wine: a registrar's CSV of 100,000 lines
// (unless told) dropped on the main window, timed from the drop to a list
// showing every name, with the moment the store held them; then one search
// of the find box over that list for a text no name holds (every row read).
//   dvx_drop_bench.exe [lines]
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "startup/file_platform_win.h"
#include "text/wide_text_win.h"
#include "ui/window/main_window_win.h"

using namespace dvx;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

class NotedPrompter : public Prompter {
 public:
  bool askYesNo(const std::string&, const std::string&, PromptIcon) override { return false; }
  void notify(const std::string& text, const std::string&, PromptIcon) override {
    last = text;
    ++notices;
  }
  std::string last;
  int notices = 0;
};

void pumpUntil(const std::function<bool()>& done) {
  while (!done()) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// A registrar's export: UTF-8 with its mark, a header, quoted fields with
// commas in them, every name different.
void writeRegistrarCsv(const std::wstring& path, int lines) {
  std::string text = "\xEF\xBB\xBF" "Domain Name,Registrar,Creation Date,Expiration Date,Status\r\n";
  for (int i = 0; i < lines; ++i) {
    text += "portfolio" + std::to_string(i) + (i % 3 ? ".com" : ".net");
    text += ",\"Example Registrar, Inc.\",2015-01-01,2030-06-30,clientTransferProhibited\r\n";
  }
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD put = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
  CloseHandle(h);
  std::printf("file: %d lines, %.1f MB\n", lines, text.size() / (1024.0 * 1024.0));
}

HDROP makeDrop(const std::wstring& path) {
  const std::wstring list = path + L'\0' + L'\0';
  HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(mem));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
  GlobalUnlock(mem);
  return static_cast<HDROP>(mem);
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);

  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  const std::wstring dir = std::wstring(tmp) + L"dvx_drop_bench_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(dir.c_str(), nullptr);
  const std::wstring csv = dir + L"\\registrar.csv";
  writeRegistrarCsv(csv, lines);

  WinFilePlatform files;
  NotedPrompter prompter;
  MainWindowOptions o;
  std::string programDir;
  for (wchar_t c : dir) programDir += static_cast<char>(c);  // the temp path is ASCII here
  o.programDir = programDir;
  o.prompter = &prompter;
  o.files = &files;
  o.quitOnDestroy = false;
  MainWindow w(o);
  w.create(GetModuleHandleW(nullptr));
  w.show();
  pumpUntil([&] { return w.refreshCount() >= 1; });

  auto t = Clock::now();
  SendMessageW(w.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop(csv)), 0);
  pumpUntil([&] { return w.rows().rowCount() >= lines; });
  const double shown = secondsSince(t);
  pumpUntil([&] { return prompter.notices > 0; });
  std::printf("drop to a list showing every name: %.3f s (%d rows)\n", shown, w.rows().rowCount());
  const std::wstring summary = toWide(prompter.last);
  std::string utf8(summary.size() * 3 + 1, '\0');
  utf8.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, summary.c_str(), static_cast<int>(summary.size()),
                                                      &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr)));
  std::printf("summary: %s\n", utf8.c_str());

  // The find box over the whole list: a text no name holds reads every row.
  SendMessageW(w.hwnd(), WM_COMMAND, MAKEWPARAM(kIdFindOpen, 1), 0);
  HWND box = w.findBox().hwnd();
  SetWindowTextW(GetDlgItem(box, FindBox::kIdText), L"nowhere-to-be-found");
  t = Clock::now();
  SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  std::printf("one find over %d rows, no match (the box's button): %.1f ms\n", w.rows().rowCount(),
              secondsSince(t) * 1000);
  SetWindowTextW(GetDlgItem(box, FindBox::kIdText), L"portfolio99999.");
  t = Clock::now();
  SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
  std::printf("one find over %d rows, a match near the end, selected and scrolled to: %.1f ms (row %d)\n",
              w.rows().rowCount(), secondsSince(t) * 1000, w.list().selectedRow());
  DestroyWindow(w.hwnd());
  TerminateProcess(GetCurrentProcess(), 0);  // the lookups still queued are not waited for
  return 0;
}
