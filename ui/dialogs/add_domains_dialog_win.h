// "添加新域名": a multi-line box for one domain or a pasted list, one per
// line. A data object: set the fields, run, read the text. The caller runs
// the add job with the text.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "ui/common/gdi_win.h"
#include "ui/dialogs/tool_window_win.h"

namespace dvx {

class AddDomainsDialog : public ToolWindow {
 public:
  // "确定" and "取消" are IDOK and IDCANCEL.
  enum ControlId : int { kIdPrompt = 300, kIdFrame, kIdInput };

  // Takes no input while the dialog is open (the main window). The dialog
  // itself has no owner.
  HWND blockedWindow = nullptr;

  // Opens the dialog and returns when it has closed: true when "确定" was
  // pressed with text in the box, or files were dropped on it.
  bool run();
  // The whole box as GBK, line breaks as the box gives them (CR LF); empty
  // unless run returned true.
  const std::string& text() const { return text_; }
  // Files dropped on the dialog: the drop closes it as "确定" does, and the
  // caller imports the files with the text typed so far.
  const std::vector<std::wstring>& droppedFiles() const { return files_; }

  // The input box while the dialog is open.
  HWND input() const { return input_; }

 private:
  void onCreate() override;
  void onCommand(int id, int code, HWND control) override;
  void onDropFiles(HDROP drop) override;

  HWND input_ = nullptr;
  std::string text_;
  std::vector<std::wstring> files_;
  bool accepted_ = false;
};

}  // namespace dvx
