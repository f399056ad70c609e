#include "ui/dialogs/add_domains_dialog_win.h"

#include "ui/common/dropped_files_win.h"
#include "ui/common/wide_win.h"

namespace dvx {

bool AddDomainsDialog::run() {
  text_.clear();
  files_.clear();
  accepted_ = false;
  if (!createWindow("添加新域名", 452, 258, nullptr, kDialogBackground)) return false;
  runModal(blockedWindow);
  input_ = nullptr;
  return accepted_;
}

void AddDomainsDialog::onCreate() {
  HWND dlg = hwnd();
  createChild(dlg, L"STATIC", "请输入域名 (如需批量添加,则请以一行一个的格式输入)", SS_LEFT, 17, 13, 385, 24,
              kIdPrompt, font(L"宋体", -14));
  HWND frame = createFrame(dlg, kIdFrame, 17, 42, 411, 128);
  input_ = createChild(frame, L"EDIT", std::string(),
                       WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, 5, 6, 400, 115,
                       kIdInput, font(L"Arial", -12));
  createChild(dlg, L"BUTTON", "确定", WS_TABSTOP | BS_DEFPUSHBUTTON, 262, 183, 80, 27, IDOK, uiFont());
  createChild(dlg, L"BUTTON", "取消", WS_TABSTOP | BS_PUSHBUTTON, 351, 183, 80, 27, IDCANCEL, uiFont());
  setInitialFocus(input_);
  DragAcceptFiles(dlg, TRUE);
}

void AddDomainsDialog::onDropFiles(HDROP drop) {
  std::vector<std::wstring> files = takeDroppedFiles(drop);
  if (files.empty() || !inModalLoop()) return;
  files_ = std::move(files);
  text_ = windowText(input_);
  accepted_ = true;
  endModal();
}

void AddDomainsDialog::onCommand(int id, int code, HWND) {
  if (code != BN_CLICKED || !inModalLoop()) return;
  if (id == IDCANCEL) {
    endModal();
  } else if (id == IDOK) {
    const std::string typed = windowText(input_);
    if (!typed.empty()) {
      text_ = typed;
      accepted_ = true;
      processPendingMessages();
    }
    endModal();
  }
}

}  // namespace dvx
