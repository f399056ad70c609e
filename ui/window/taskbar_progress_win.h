// The query job's progress on the window's taskbar button (ITaskbarList3:
// rows looked up of rows to look up). Where the interface is missing (older
// Windows, Wine) nothing is shown and nothing fails. UI thread only.
#pragma once
#include <windows.h>
#include <shobjidl.h>

#include <optional>
#include <utility>

namespace dvx {

class TaskbarProgress {
 public:
  TaskbarProgress() = default;
  ~TaskbarProgress() { release(); }
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  // The message the shell sends a window once its button exists (again,
  // after Explorer restarts): the documented moment to call attach.
  static UINT buttonCreatedMessage();

  // Takes the taskbar interface for `window`; what is on show is shown
  // on the new button too.
  void attach(HWND window);
  bool attached() const { return list_ != nullptr; }

  void show(int done, int total);
  void clear();
  // What the button shows when the interface is there: rows done of rows
  // to look up, or nothing.
  std::optional<std::pair<int, int>> shown() const { return shown_; }

 private:
  void release();
  void apply();

  HWND window_ = nullptr;
  HRESULT com_ = E_FAIL;  // this thread's COM, held while the interface is
  ITaskbarList3* list_ = nullptr;
  std::optional<std::pair<int, int>> shown_;
};

}  // namespace dvx
