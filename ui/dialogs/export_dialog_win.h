// "导出设置": six check boxes choose the columns of the export file; "导出"
// writes one fixed-width line per list row into the data directory, opens
// the file in Notepad and closes the dialog. Owned by the main window, not
// modal; there is at most one at a time.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "startup/data_directory.h"
#include "ui/dialogs/export_lines.h"
#include "ui/list/list_view_win.h"
#include "ui/dialogs/process_launcher.h"
#include "ui/dialogs/tool_window_win.h"

namespace dvx {

class ExportSettingsDialog : public ToolWindow {
 public:
  // Check boxes in field order; "导出" and "取消" are IDOK and IDCANCEL.
  enum ControlId : int { kIdDomain = 340, kIdRegDate, kIdExpireDate, kIdRegistrar, kIdBaidu, kIdGoogle };

  std::function<std::vector<ExportRow>()> readRows;  // the main list's rows as shown
  FilePlatform* files = nullptr;                     // data directory and the file write
  ProcessLauncher* launcher = nullptr;               // starts Notepad

  // Opens the dialog with the initial ticks, or brings the open one to the
  // front. Returns its window.
  HWND open(HWND owner);

 private:
  void onCreate() override;
  void onCommand(int id, int code, HWND control) override;
  void exportAndClose();
  bool ticked(int id) const;

  bool exporting_ = false;
};

// The export fields of every row of a report list, in display order.
std::vector<ExportRow> exportRowsFromList(const ListView& list);

}  // namespace dvx
