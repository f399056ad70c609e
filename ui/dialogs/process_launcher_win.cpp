#include "ui/dialogs/process_launcher_win.h"

#include <windows.h>

#include <vector>

#include "startup/scoped_handle_win.h"
#include "ui/common/wide_win.h"

namespace dvx {

void WinProcessLauncher::launch(const std::string& gbkCommandLine) {
  const std::wstring wide = toWide(gbkCommandLine);
  if (wide.empty()) return;
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::vector<wchar_t> line(wide.begin(), wide.end());
  line.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
  ScopedHandle process(pi.hProcess);
  ScopedHandle thread(pi.hThread);
  WaitForInputIdle(process.get(), 1000);
}

}  // namespace dvx
