// Helpers for driving the dialogs through real windows under Wine.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "startup/data_directory.h"
#include "ui/dialogs/process_launcher.h"
#include "ui/dialogs/tool_window_win.h"
#include "ui/dialogs/tests/win/pump_until_win.h"

namespace dvx {
namespace dlgtest {

// Records every command line instead of starting it.
class RecordingLauncher : public ProcessLauncher {
 public:
  std::vector<std::string> lines;
  void launch(const std::string& gbkCommandLine) override { lines.push_back(gbkCommandLine); }
};

// The real file calls, counting the directories made (or found) while the
// data directory is chosen.
class CountingFiles : public FilePlatform {
 public:
  int directoriesMade = 0;
  MadeDirectory createDirectory(const std::filesystem::path& dir) override;
  bool writeWholeFile(const std::filesystem::path& file, const std::string& bytes) override;
  std::filesystem::path windowsDirectory() override;
  std::filesystem::path systemDirectory() override;
};

using testing_win::pumpUntil;

// Runs a modal dialog's run() with `driver` called from inside its message
// loop once it is up. The driver must end the dialog; a dialog still open
// after 20 s is closed and the test fails.
bool runDriven(ToolWindow& dialog, const std::function<bool()>& run, const std::function<void()>& driver);

// A plain top-level window standing in for the main window.
class HostWindow {
 public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// Geometry as the tests compare it.
struct Box {
  int x, y, w, h;
  bool operator==(const Box& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};
Box childBox(HWND child);  // in its parent's client coordinates
SIZE outerSize(HWND window);
std::string fontFace(HWND control);
int fontPixels(HWND control);  // character height
bool fontBold(HWND control);

void click(HWND button);  // BM_CLICK
bool isChecked(HWND box);
std::string readFileBytes(const std::string& gbkPath);

}  // namespace dlgtest
}  // namespace dvx

// Prints geometry in failure messages.
#include <ostream>
inline std::ostream& operator<<(std::ostream& os, const dvx::dlgtest::Box& b) {
  return os << "{" << b.x << "," << b.y << "," << b.w << "," << b.h << "}";
}
