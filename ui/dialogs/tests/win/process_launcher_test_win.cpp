// The real launcher: a GBK command line reaches the new process intact.
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

}  // namespace
}  // namespace dvx
