#include "ui/check/check_run_win.h"

#include <atomic>
#include <thread>

#include "remind/check_pass.h"
#include "remind/due_rule.h"
#include "remind/reminder.h"
#include "startup/file_platform_win.h"
#include "startup/scoped_handle_win.h"
#include "startup/store_startup.h"
#include "ui/check/check_settings.h"
#include "ui/check/instance_handoff_win.h"
#include "ui/check/reminder_tray_win.h"
#include "ui/common/message_box_win.h"

namespace dvx {

namespace {

// One check per user at a time: a second one (the task and a hand start)
// would look the same rows up twice.
std::wstring checkMarkerName() {
  wchar_t user[257] = {};
  DWORD size = 257;
  if (!GetUserNameW(user, &size)) user[0] = L'\0';
  return std::wstring(L"Local\\Domivex.Check.") + user;
}

// Runs the pass on a worker while this thread answers its messages. A main
// window that opens meanwhile makes the pass stop after the row it is on.
// True when the pass ran to its end.
bool runPassBesideWindows(DomainStore& store, PageFetcher& fetcher, const LookupHosts& hosts,
                          const CheckPassOptions& passOptions, long long today) {
  std::atomic<bool> cancel{false};
  ScopedHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!done.get()) {
    // No event to wait on: the pass runs here, without the watch.
    runCheckPass(store, fetcher, hosts, passOptions, cancel, today);
    return true;
  }
  std::thread worker([&] {
    runCheckPass(store, fetcher, hosts, passOptions, cancel, today);
    SetEvent(done.get());
  });
  HANDLE wait = done.get();
  for (;;) {
    const DWORD woke = MsgWaitForMultipleObjects(1, &wait, FALSE, 500, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) break;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (!cancel && mainWindowInstanceRuns()) cancel = true;
  }
  worker.join();
  return !cancel;
}

int handOff(const std::wstring& windowClass) {
  switch (handCheckToMainWindow(windowClass.c_str())) {
    case HandOff::kHandedOff: return kCheckHandedOff;
    case HandOff::kNotTaken: return kCheckNotTaken;
    case HandOff::kNoInstance: break;
  }
  return -1;
}

}  // namespace

void openMainWindow(const std::wstring& mainWindowClass, const std::wstring& programPath) {
  if (HWND window = FindWindowW(mainWindowClass.c_str(), nullptr)) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    return;
  }
  if (programPath.empty()) return;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring line = L"\"" + programPath + L"\"";
  const std::wstring dir = programPath.substr(0, programPath.find_last_of(L"\\/"));
  if (CreateProcessW(programPath.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                     dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
    // The new window may take the foreground this click gave.
    AllowSetForegroundWindow(pi.dwProcessId);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
}

int runUnattendedCheck(const CheckRunOptions& options) {
  ScopedHandle checkMarker(CreateMutexW(nullptr, FALSE, checkMarkerName().c_str()));
  if (checkMarker.get() && GetLastError() == ERROR_ALREADY_EXISTS) return kCheckAlreadyRuns;

  // A main window owns the database while it runs.
  const int handed = handOff(options.mainWindowClass);
  if (handed >= 0) return handed;

  WinFilePlatform files;
  MessageBoxPrompter prompter;
  PromptStoreErrors storeErrors(&prompter);
  const StartupPlaces places = chooseStartupPlaces(&files, options.programDir);
  OpenedStore opened = openStartupStore(places, &files, &prompter, &storeErrors, /*showsList=*/false);
  if (!opened.store) return kCheckNoStore;

  const long long today = todayDayNumber();
  CheckPassOptions passOptions;
  passOptions.pauseAfterLookupMs = options.pauseAfterLookupMs;
  passOptions.checkLimit = readCheckLimit(places.settings);
  if (options.fetcher &&
      !runPassBesideWindows(*opened.store, *options.fetcher, places.hosts, passOptions, today)) {
    // A main window opened during the pass: it does the rest.
    opened.store->Close();
    const int rest = handOff(options.mainWindowClass);
    return rest >= 0 ? rest : kCheckDone;
  }

  const int days = readReminderDays(places.settings);
  const Reminder reminder = collectReminder(*opened.store, today, days);
  opened.store->Close();
  if (reminder.empty()) return kCheckDone;
  if (shownToday(places.settings.ReadSetting(kKeyLastReminder, ""), reminder, today)) return kCheckDone;

  ReminderTray tray;
  ReminderTray::Actions actions;
  actions.open = [&] { openMainWindow(options.mainWindowClass, options.programPath); };
  actions.ended = [] { PostQuitMessage(0); };
  if (!tray.show(options.instance, reminder.title(days), reminder.text(), std::move(actions),
                 kReminderLifetimeMs))
    return kCheckDone;
  places.settings.WriteSetting(kKeyLastReminder, lastReminderValue(reminder, today));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return kCheckDone;
}

}  // namespace dvx
