// Helpers for tests that drive real windows under Wine.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "startup/prompter.h"
#include "ui/dialogs/tests/win/pump_until_win.h"

namespace dvx {
namespace testing_win {

// Answers questions with a preset answer and records everything asked.
class RecordingPrompter : public Prompter {
 public:
  struct Entry {
    std::string text, caption;
    PromptIcon icon;
    bool question;
  };
  bool answer = true;
  std::vector<Entry> seen;
  bool askYesNo(const std::string& text, const std::string& caption, PromptIcon icon) override {
    seen.push_back({text, caption, icon, true});
    return answer;
  }
  void notify(const std::string& text, const std::string& caption, PromptIcon icon) override {
    seen.push_back({text, caption, icon, false});
  }
};


// Once a top-level window with this caption appears on this thread (for
// instance a modal dialog, whose loop dispatches the timer), runs `action`
// on it. Polls every 20 ms from a thread timer.
void whenWindowAppears(const std::string& caption, std::function<void(HWND)> action);

// A child or grandchild with this control id, or null.
HWND findDescendant(HWND parent, int id);

// A visible top-level window of process `pid` of this window class, or when
// `className` is null, with this caption; null when there is none.
HWND topWindowOf(DWORD pid, const wchar_t* className, const std::string& caption);

// A new empty directory under the temporary folder (GBK path, no trailing
// separator), removed with everything in it by the destructor.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string readFileBytes(const std::string& gbkPath);
bool fileExists(const std::string& gbkPath);
void removeFile(const std::string& gbkPath);

// The rectangle of a child in its parent's client coordinates.
RECT childRect(HWND child);

}  // namespace testing_win
}  // namespace dvx
