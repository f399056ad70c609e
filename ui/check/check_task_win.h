// The daily check as a per-user task of the Windows Task Scheduler: made,
// removed and looked at through ITaskService, without administrator rights.
#pragma once
#include <windows.h>

#include <string>

namespace dvx {

enum class CheckTaskState {
  kAbsent,
  kForThisProgram,  // runs this exe (or a scheduler that keeps no command: Wine)
  kForOtherPath,    // the program has moved since the task was made
  kUnknown,         // the scheduler could not be asked
};

// The full path of the running exe.
std::wstring thisProgramPath();

// The state of the task for `exePath`.
CheckTaskState checkTaskState(const std::wstring& exePath);
// Makes (or replaces) the task running `exePath --check`. S_OK on success.
HRESULT registerCheckTask(const std::wstring& exePath);
// Deletes the task; a missing task counts as removed. S_OK on success.
HRESULT removeCheckTask();

// The command of the task's first exec action in its XML, unquoted and with
// the XML's character references read; empty when it has none.
std::wstring taskCommandOf(const std::wstring& xml);

}  // namespace dvx
