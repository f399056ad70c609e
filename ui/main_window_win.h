// The main window: the domain list, two hint labels, the sort option and nine
// command buttons. Its creation runs the program's start-up sequence.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "app/data_directory.h"
#include "app/settings.h"
#include "store/domain_store.h"
#include "ui/gdi_win.h"
#include "ui/list_view_win.h"
#include "ui/message_box_win.h"
#include "ui/prompter.h"

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

struct MainWindowOptions {
  std::string programDir;             // GBK, without a trailing separator
  Prompter* prompter = nullptr;       // questions and notices
  FilePlatform* files = nullptr;      // data directory choice
  bool quitOnDestroy = true;          // false in tests that make several windows
};

class MainWindow {
 public:
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
  ListView list() const { return ListView(control(kIdList)); }
  const Settings& settings() const { return settings_; }
  const std::string& databasePath() const { return databasePath_; }
  DomainStore* store() { return store_.get(); }
  bool migrated() const { return migrated_; }

  // Refills the list from the store.
  void reloadList();

 private:
  static LRESULT CALLBACK wndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT onCreate();
  void onDestroy();
  void onCommand(int id, int code);
  LRESULT onCtlColorStatic(HDC dc, HWND control);

  void createControls();
  void runStartup();
  void applyWindowState(int state);
  void onSortOptionClicked();

  MainWindowOptions options_;
  HWND hwnd_ = nullptr;
  Settings settings_;
  std::string databasePath_;
  std::unique_ptr<PromptStoreErrors> storeErrors_;
  std::unique_ptr<DomainStore> store_;
  bool migrated_ = false;
  int showCommand_ = SW_SHOWNORMAL;
  bool centreOnShow_ = false;
  ScopedFont listFont_, hintFont_, uiFont_;
};

}  // namespace dvx
