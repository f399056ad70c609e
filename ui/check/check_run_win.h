// The unattended check (domivex.exe --check): no main window. It opens the
// data places, settings and database the window would, looks up the rows due
// today, and shows the reminder in the notification area. When a main window
// of this user runs, that window gets the pass instead.
#pragma once
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>

#include "lookup/page_fetcher.h"

namespace dvx {

// How the check ended, as the process's exit code.
enum CheckExit : int {
  kCheckDone = 0,          // the pass ran here (with or without a reminder)
  kCheckNoStore = 1,       // the database could not be opened
  kCheckHandedOff = 2,     // a main window took the pass
  kCheckNotTaken = 3,      // a main window runs but did not answer: nothing done
  kCheckAlreadyRuns = 4,   // another check of this user is running
};

struct CheckRunOptions {
  HINSTANCE instance = nullptr;
  std::filesystem::path programDir;       // without a trailing separator
  std::wstring mainWindowClass;           // what the hand-off looks for
  std::wstring programPath;               // started when the reminder is clicked
  std::shared_ptr<PageFetcher> fetcher;
  int pauseAfterLookupMs = 900;
};

// Runs the check to its end (including the reminder's time in the
// notification area) and returns its exit code.
int runUnattendedCheck(const CheckRunOptions& options);

// Brings the main window forward, or starts the program when none runs.
void openMainWindow(const std::wstring& mainWindowClass, const std::wstring& programPath);

// How long the reminder's icon stays at most: the scheduled task is ended
// after an hour, and an icon must not outlive its process.
constexpr UINT kReminderLifetimeMs = 45 * 60 * 1000;

}  // namespace dvx
