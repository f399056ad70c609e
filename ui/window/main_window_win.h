// The main window: the domain list, two hint labels, the sort option and nine
// command buttons. Its creation runs the program's start-up sequence.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <atomic>

#include "startup/data_directory.h"
#include "lookup/lookup_hosts.h"
#include "lookup/page_fetcher.h"
#include "startup/settings.h"
#include "store/domain_store.h"
#include "ui/dialogs/export_dialog_win.h"
#include "ui/dialogs/find_box_win.h"
#include "ui/common/window_icon_win.h"
#include "ui/common/dpi_win.h"
#include "ui/common/gdi_win.h"
#include "ui/dialogs/help_centre_win.h"
#include "ui/dialogs/process_launcher.h"
#include "ui/list/list_view_win.h"
#include "ui/list/model_list_view_win.h"
#include "ui/list/row_model.h"
#include "ui/common/message_box_win.h"
#include "startup/prompter.h"
#include "ui/window/taskbar_progress_win.h"
#include "ui/check/reminder_tray_win.h"

namespace dvx {

enum MainControlId : int {
  kIdList = 100,
  kIdHint1,
  kIdHint2,
  kIdSortCheck,
  kIdTitleCheck,
  kIdRequeryFailed,
  kIdAdd,
  kIdDelete,
  kIdRequeryOne,
  kIdRequeryAll,
  kIdExport,
  kIdHelp,
  kIdClose,
};

// Commands of the main window's keyboard shortcuts (WM_COMMAND): Ctrl+F
// opens the find box, F3 finds the next match again.
enum MainKeyCommand : int { kIdFindOpen = 200, kIdFindAgain };

// Own items of the main window's system menu (WM_SYSCOMMAND, multiples of
// 0x10 below the system's own at 0xF000).
enum MainSystemCommand : UINT {
  kSysImportFiles = 0x1010,     // "导入文件..."
  kSysExportCsv = 0x1020,       // "导出 CSV..."
  kSysExportCalendar = 0x1030,  // "导出到期日历..."
  kSysDailyCheck = 0x1040,      // "每天检查到期域名"
};

// The title of a column of the domain list (GBK).
std::string mainColumnTitle(int column);

class QueryJob;

// What the UI thread knows of a worker it started and does not wait for.
struct WorkerFlags {
  std::atomic<bool> running{true};
  std::atomic<bool> abandoned{false};  // the window is gone: touch nothing
};

struct MainWindowOptions {
  std::filesystem::path programDir;   // without a trailing separator
  Prompter* prompter = nullptr;       // questions and notices
  FilePlatform* files = nullptr;      // data directory choice
  std::shared_ptr<PageFetcher> fetcher;  // the web, for lookups
  ProcessLauncher* launcher = nullptr;  // Explorer for web pages, Notepad for the export
  bool quitOnDestroy = true;          // false in tests that make several windows
  int pauseAfterLookupMs = 900;       // the pause after each looked-up domain
};

class MainWindow {
 public:
  // The window's class: how an unattended check finds the running window.
  static const wchar_t kClassName[];

  explicit MainWindow(MainWindowOptions options);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window, which runs the start-up sequence. Null on failure.
  HWND create(HINSTANCE instance);
  // How the window is first shown: the remembered "位置" state.
  int initialShowCommand() const { return showCommand_; }
  void show();

  HWND hwnd() const { return hwnd_; }
  HWND control(int id) const { return GetDlgItem(hwnd_, id); }
  // The DPI the window is laid out for; 96 gives the designed geometry.
  int dpi() const { return dpi_; }
  ListView list() const { return ListView(list_); }
  // What the list shows, in display order.
  const RowModel& rows() const { return rows_; }
  const Settings& settings() const { return settings_; }
  const std::filesystem::path& databasePath() const { return databasePath_; }
  DomainStore* store() { return store_.get(); }
  std::shared_ptr<DomainStore> sharedStore() const { return store_; }
  bool migrated() const { return migrated_; }
  // True from a query job's setBusy to its finishRefresh.
  bool jobRunning() const { return jobRunning_; }
  bool sortAscending() const { return sortAscending_; }
  int rememberedRow() const { return rememberedRow_; }
  // How many query jobs have run their finishing step.
  int refreshCount() const { return refreshCount_; }
  std::shared_ptr<QueryJob> currentJob() const { return job_; }

  // Empties the list, refills it from the store and starts a query job.
  // A job still running finishes the row it is on and stops first. Any
  // thread may call; the work runs on the UI thread.
  void reloadList();

  // --- Used by the query job, on the UI thread -----------------------------
  void setBusy();
  // Writes a record's looked-up columns into a row; the list draws the row
  // again when a text changed.
  void fillRowFromRecord(int row, const DomainRecord& rec, bool lookedUp);
  void setRowText(int row, int column, const std::string& text);
  void renumberAndColour();
  void updateCommandStates();
  void finishRefresh();
  void setProgressTitle(const std::string& domain);
  // Rows looked up of rows to look up, on the taskbar button.
  void showLookupProgress(int done, int total) { taskbar_.show(done, total); }
  const TaskbarProgress& taskbar() const { return taskbar_; }
  void restoreTitle();
  bool failedItemsMode() const { return failedItemsMode_; }
  int pauseAfterLookupMs() const { return options_.pauseAfterLookupMs; }
  const LookupHosts& hosts() const { return hosts_; }
  std::shared_ptr<PageFetcher> fetcher() const { return options_.fetcher; }

  // --- Commands -------------------------------------------------------------
  std::string sortList(int column, bool ascending, bool caseSensitive, int kind);
  void onHeaderClick(int column);
  void deleteSelected();
  void requeryOne();
  void requeryAll();
  void requeryFailed();
  void onRowDoubleClick();
  // The add job: stores the typed names on a thread of its own, then
  // reloads the list.
  void startAddJob(const std::string& text);
  bool addJobRunning() const { return addJob_ && addJob_->running; }
  // The import: the names of the files (and of `typedText`, the add
  // dialog's box) stored on a thread of its own like the add job, then one
  // summary and a reload. Refused, and said, while an add or another import
  // runs.
  void startImport(std::vector<std::wstring> files, const std::string& typedText = std::string());
  // Every row in the list's order, with the visible columns, as a CSV file
  // at `path`; false when it could not be written (said to the user).
  bool exportCsvTo(const std::wstring& path);
  // Ctrl+F and F3 (the commands kIdFindOpen and kIdFindAgain).
  void openFindBox();
  bool findAgain();
  const FindBox& findBox() const { return find_; }
  // The message loop's first step: the keyboard shortcuts, and the find
  // box's own keys (Tab, Enter, Esc) while the focus is in it. True when
  // the message was handled and must not be dispatched.
  bool translateMessage(MSG& msg);
  const WindowIcons& icons() const { return icons_; }
  // The modify dialog's save: the typed text against the name it opened with.
  void saveModifiedName(int id, const std::string& initialName, const std::string& typed);
  void startTitleCheck();
  bool titleCheckRunning() const { return titleJob_ && titleJob_->running; }
  HWND exportWindow() const { return export_.hwnd(); }
  HWND helpWindow() const { return help_.hwnd(); }
  // --- Reminders -------------------------------------------------------------
  // A check handed over by `domivex.exe --check`: the due-only pass runs as
  // a query job once no other job uses the store, then the reminder shows.
  void queueDueCheck();
  bool dueCheckPending() const { return dueCheckPending_; }
  // How many due-only passes have ended here.
  int dueChecksDone() const { return dueChecksDone_; }
  // Used by the due-only job when it ends, on the UI thread.
  void finishDueCheck();
  const ReminderTray& reminderTray() const { return reminderTray_; }
  // "导出到期日历...": the save dialog, then the file.
  void exportRenewalCalendar();
  // The calendar of every stored domain with an expiry date, written to
  // `path`; false (and said) when it could not be written.
  bool writeRenewalCalendar(const std::wstring& path);
  // "每天检查到期域名": makes the daily task for this exe, or removes it.
  void toggleDailyCheck();

  // Waits for a store operation in progress and closes the store for good.
  void closeStore() {
    if (store_) store_->Close();
  }

 private:
  static LRESULT CALLBACK wndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT onCreate();
  void onDestroy();
  void onCommand(int id, int code);
  LRESULT onCtlColorStatic(HDC dc, HWND control);
  LRESULT onNotify(NMHDR* hdr);
  void onGetMinMaxInfo(MINMAXINFO* info);
  // Refills the rows from the store in one walk: stored records that are
  // complete are shown whole, the ids of the others are returned for the
  // query job to look up.
  std::vector<int32_t> refillRows();
  // Moved to a screen of another DPI: fonts, icons and columns for it, then
  // the size Windows suggests (the anchoring places the controls).
  void onDpiChanged(int dpi, const RECT* suggested);
  void enableJobButtons(bool add, bool del, bool one, bool all);
  void onAddClicked();
  // Own items of the system menu; false for the system's, which go on to
  // DefWindowProc.
  bool onSysCommand(UINT command);
  void addSystemMenuItems();
  void onDropFiles(HDROP drop);
  void chooseImportFiles();
  void chooseCsvExport();
  // Selects the next row whose domain holds `text`; false when none does.
  bool findAndSelect(const std::string& text, bool down);
  void connectFindBox();
  void openModifyDialog(int id);

  void createControls();
  void runStartup();
  void addReminderMenuItems();
  bool onReminderCommand(UINT command);
  void onInitMenuPopup(HMENU menu, bool systemMenu);
  LRESULT onCopyData(const COPYDATASTRUCT* data);
  void startDueCheckWhenIdle();
  void applyWindowState(int state);
  void onSortOptionClicked();

  MainWindowOptions options_;
  HWND hwnd_ = nullptr;
  Settings settings_;
  std::filesystem::path databasePath_;
  std::unique_ptr<PromptStoreErrors> storeErrors_;
  std::shared_ptr<DomainStore> store_;
  std::shared_ptr<QueryJob> job_;
  LookupHosts hosts_;
  bool migrated_ = false;
  bool jobRunning_ = false;
  bool failedItemsMode_ = false;
  bool sortAscending_ = false;
  int rememberedRow_ = 0;
  int refreshCount_ = 0;
  HWND list_ = nullptr;  // kept: looking a child up costs a server call under Wine
  RowModel rows_;
  ModelListView rowView_;
  std::shared_ptr<WorkerFlags> addJob_, titleJob_;
  ExportSettingsDialog export_;
  HelpCentreWindow help_;
  int showCommand_ = SW_SHOWNORMAL;
  bool centreOnShow_ = false;
  int dpi_ = kDesignDpi;
  DpiFonts fonts_;
  bool dueCheckPending_ = false;
  int dueChecksDone_ = 0;
  ReminderTray reminderTray_;
  TaskbarProgress taskbar_;  // Arial 12 px for the list, 宋体 14 px for the hints, 宋体 12 px for the rest
  FindBox find_;
  HACCEL keys_ = nullptr;  // Ctrl+F, F3
  WindowIcons icons_;
};

}  // namespace dvx
