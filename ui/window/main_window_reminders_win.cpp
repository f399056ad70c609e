// The main window's part in the reminders: the due-only check handed over by
// `domivex.exe --check`, its reminder, and the two system-menu commands
// (the daily task, the calendar of renewals).
#include <windows.h>

#include <vector>

#include "remind/check_pass.h"
#include "remind/due_rule.h"
#include "remind/renewal_calendar.h"
#include "startup/scoped_handle_win.h"
#include "text/gbk_text.h"
#include "ui/check/check_settings.h"
#include "ui/check/check_task_commands_win.h"
#include "ui/check/check_task_win.h"
#include "ui/check/check_run_win.h"
#include "ui/check/instance_handoff_win.h"
#include "ui/common/app_messages_win.h"
#include "ui/common/file_dialogs_win.h"
#include "ui/common/wide_win.h"
#include "ui/window/main_window_win.h"
#include "ui/window/query_job_win.h"

namespace dvx {

void MainWindow::addReminderMenuItems() {
  // Appended to the system menu after the file commands, in their group:
  // the window's layout stays as it is.
  HMENU menu = GetSystemMenu(hwnd_, FALSE);
  if (!menu) return;
  AppendMenuW(menu, MF_STRING, kSysDailyCheck, toWide("每天检查到期域名").c_str());
  AppendMenuW(menu, MF_STRING, kSysExportCalendar, toWide("导出到期日历...").c_str());
}

bool MainWindow::onReminderCommand(UINT command) {
  switch (command) {
    case kSysDailyCheck: toggleDailyCheck(); return true;
    case kSysExportCalendar: exportRenewalCalendar(); return true;
    default: return false;
  }
}

void MainWindow::onInitMenuPopup(HMENU menu, bool systemMenu) {
  if (!systemMenu || menu != GetSystemMenu(hwnd_, FALSE)) return;
  // Ticked while the task runs this exe; a task left from where the
  // program used to be shows unticked, and a click makes it anew here.
  const bool ours = checkTaskState(thisProgramPath()) == CheckTaskState::kForThisProgram;
  CheckMenuItem(menu, kSysDailyCheck, MF_BYCOMMAND | (ours ? MF_CHECKED : MF_UNCHECKED));
}

void MainWindow::toggleDailyCheck() {
  const std::wstring exe = thisProgramPath();
  const CheckTaskState state = checkTaskState(exe);
  const bool remove = state == CheckTaskState::kForThisProgram;
  const HRESULT result = remove ? removeCheckTask() : registerCheckTask(exe);
  // Done is shown by the tick; only a failure is said.
  if (FAILED(result)) {
    const std::wstring text = remove ? removeCheckMessage(result) : installCheckMessage(result, exe);
    MessageBoxW(hwnd_, text.c_str(), L"Domivex", MB_OK | MB_ICONWARNING);
  }
}

LRESULT MainWindow::onCopyData(const COPYDATASTRUCT* data) {
  if (!isRunCheckRequest(data)) return FALSE;
  // The sender waits for this answer: the pass is only queued here.
  queueDueCheck();
  return TRUE;
}

void MainWindow::queueDueCheck() {
  dueCheckPending_ = true;
  PostMessageW(hwnd_, WM_APP_DUE_CHECK, 0, 0);
}

void MainWindow::startDueCheckWhenIdle() {
  // One pass over the store at a time: a job or the add job running now
  // ends with a refresh, which posts this again.
  if (!dueCheckPending_ || !store_ || jobRunning_ || addJobRunning()) return;
  auto previous = job_;
  job_ = std::make_shared<QueryJob>(this, hwnd_, store_, options_.fetcher, previous, std::vector<int32_t>());
  job_->lookUpDueRows(todayDayNumber(), readCheckLimit(settings_));
  job_->start();
  if (!job_->done()) setBusy();
}

void MainWindow::finishDueCheck() {
  dueCheckPending_ = false;
  ++dueChecksDone_;
  if (!store_) return;
  const long long today = todayDayNumber();
  const int days = readReminderDays(settings_);
  const Reminder reminder = collectReminder(*store_, today, days);
  if (reminder.empty() || shownToday(settings_.ReadSetting(kKeyLastReminder, ""), reminder, today)) return;
  ReminderTray::Actions actions;
  HWND self = hwnd_;
  actions.open = [self] {
    if (!IsWindow(self)) return;
    if (IsIconic(self)) ShowWindow(self, SW_RESTORE);
    SetForegroundWindow(self);
  };
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  if (reminderTray_.show(instance, reminder.title(days), reminder.text(), std::move(actions), kReminderLifetimeMs))
    settings_.WriteSetting(kKeyLastReminder, lastReminderValue(reminder, today));
}

void MainWindow::exportRenewalCalendar() {
  SaveDialogSpec spec;
  spec.suggestedName = L"Domivex_\u5230\u671F.ics";  // Domivex_到期.ics
  spec.folder = hosts_.dataDir;
  spec.filter = dialogFilter({"iCalendar 日历 (*.ics)", "*.ics", "所有文件 (*.*)", "*.*"});
  spec.defaultExtension = L"ics";
  const std::wstring path = askSavePath(hwnd_, spec);
  // Cancelled, or the dialog ran its own message loop and the window is
  // going away: nothing.
  if (path.empty() || !IsWindow(hwnd_)) return;
  writeRenewalCalendar(path);
}

bool MainWindow::writeRenewalCalendar(const std::wstring& path) {
  RenewalCalendar calendar(utcStampNow());
  if (store_) store_->ForEachRecord([&](DomainRecord& rec) { calendar.add(rec); });
  const std::string bytes = calendar.finish();
  bool written = false;
  {
    ScopedHandle out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    if (out.get() != INVALID_HANDLE_VALUE) {
      DWORD wrote = 0;
      written = WriteFile(out.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
                wrote == bytes.size();
    }
  }
  if (!written) DeleteFileW(path.c_str());  // no half calendar is left
  if (!written && options_.prompter)
    options_.prompter->notify("无法写入文件 " + fromWide(path), "提示", PromptIcon::Warning);
  return written;
}

}  // namespace dvx
