// "修改域名": the stored name in a single-line box, and four picture buttons
// that open web pages about the name as typed (the site, its Baidu and
// Google "site:" searches, its keyword page). A data object: set the fields,
// run, read the text. The caller saves the name.
#pragma once
#include <windows.h>

#include <string>

#include "lookup/lookup_hosts.h"
#include "ui/common/gdi_win.h"
#include "ui/dialogs/process_launcher.h"
#include "ui/dialogs/tool_window_win.h"

namespace dvx {

class ModifyDomainDialog : public ToolWindow {
 public:
  // "确定" and "取消" are IDOK and IDCANCEL. The picture buttons are
  // shortcuts 1 to 4 in the order kIdSite..kIdKeyword.
  enum ControlId : int { kIdPrompt = 320, kIdFrame, kIdName, kIdSite, kIdBaidu, kIdGoogle, kIdKeyword };

  // Takes no input while the dialog is open (the main window). The dialog
  // itself has no owner.
  HWND blockedWindow = nullptr;
  std::string initialName;            // shown in the box at opening
  ProcessLauncher* launcher = nullptr;  // starts the shortcuts' command lines
  LookupHosts hosts;                  // the search and site-service hosts

  // Opens the dialog and returns when it has closed: true on "确定".
  bool run();
  // The name box as typed when "确定" was pressed (not cleaned).
  const std::string& text() const { return text_; }

  HWND nameBox() const { return nameBox_; }

 private:
  void onCreate() override;
  void onCommand(int id, int code, HWND control) override;
  LRESULT onCtlColor(UINT msg, HDC dc, HWND control) override;
  bool onDrawItem(const DRAWITEMSTRUCT& item) override;

  HWND nameBox_ = nullptr;
  std::string text_;
  bool accepted_ = false;
};

}  // namespace dvx
