// Program entry: the main window with its message loop, or one of the
// commands of the command line (the unattended check, the daily task).
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "startup/file_platform_win.h"
#include "app/program_dir_win.h"
#include "ui/check/check_run_win.h"
#include "ui/check/check_task_commands_win.h"
#include "ui/check/check_task_win.h"
#include "ui/check/instance_handoff_win.h"
#include "ui/check/program_arguments.h"
#include "ui/dialogs/process_launcher_win.h"
#include "ui/common/message_box_win.h"
#include "ui/window/main_window_win.h"

namespace {

std::vector<std::wstring> commandLineArguments() {
  std::vector<std::wstring> args;
  int count = 0;
  if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) args.emplace_back(argv[i]);
    LocalFree(argv);
  }
  return args;
}

int runCheck(HINSTANCE instance) {
  dvx::CheckRunOptions options;
  options.instance = instance;
  options.programDir = dvx::programDirectory();
  options.mainWindowClass = dvx::MainWindow::kClassName;
  options.programPath = dvx::thisProgramPath();
  options.fetcher = std::shared_ptr<dvx::PageFetcher>(dvx::makeWebFetcher());
  try {
    return dvx::runUnattendedCheck(options);
  } catch (...) {
    return dvx::kCheckNoStore;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const dvx::ProgramArguments args = dvx::parseProgramArguments(commandLineArguments());
  switch (args.mode) {
    case dvx::ProgramMode::kCheck: return runCheck(instance);
    case dvx::ProgramMode::kInstallCheck: return dvx::runInstallCheckCommand(args.quiet);
    case dvx::ProgramMode::kRemoveCheck: return dvx::runRemoveCheckCommand(args.quiet);
    case dvx::ProgramMode::kWindow: break;
  }

  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_STANDARD_CLASSES |
                                           ICC_LINK_CLASS};
  InitCommonControlsEx(&icc);

  // From before the window exists: a check started now leaves the database
  // to this process.
  dvx::InstanceMarker marker;
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
