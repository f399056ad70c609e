// Program entry: make the main window, run the message loop until it is gone.
#include <windows.h>
#include <commctrl.h>

#include "startup/file_platform_win.h"
#include "app/program_dir_win.h"
#include "ui/dialogs/process_launcher_win.h"
#include "ui/common/message_box_win.h"
#include "ui/window/main_window_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES |
                                           ICC_LINK_CLASS};
  InitCommonControlsEx(&icc);

  dvx::WinFilePlatform files;
  dvx::MessageBoxPrompter prompter;
  dvx::WinProcessLauncher launcher;
  dvx::MainWindowOptions options;
  options.programDir = dvx::programDirectory();
  options.prompter = &prompter;
  options.files = &files;
  options.launcher = &launcher;
  options.fetcher = std::shared_ptr<dvx::PageFetcher>(dvx::makeWebFetcher());
  dvx::MainWindow window(options);
  HWND hwnd = window.create(instance);
  if (!hwnd) return 1;
  prompter.setOwner(hwnd);
  window.show();

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // The find box and the shortcuts first, then the other modeless windows'
    // dialog keys.
    if (window.translateMessage(msg)) continue;
    if (!IsDialogMessageW(GetActiveWindow(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // Workers are not waited for: a lookup may hang on its page. Once no store
  // operation is in progress the store is closed and the process ends with
  // every worker, so nothing is cut in the middle.
  window.closeStore();
  TerminateProcess(GetCurrentProcess(), 0);
  return 0;
}
