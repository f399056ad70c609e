#include "ui/dialogs/export_dialog_win.h"

#include "ui/common/wide_win.h"
#include "ui/dialogs/command_line.h"

namespace dvx {

HWND ExportSettingsDialog::open(HWND owner) {
  if (hwnd()) {
    bringToFront();
    return hwnd();
  }
  if (!createWindow("导出设置", 510, 170, owner, kDialogBackground)) return nullptr;
  ShowWindow(hwnd(), SW_SHOW);
  return hwnd();
}

void ExportSettingsDialog::onCreate() {
  struct Box {
    int id;
    const char* caption;
    int x, width;
    bool ticked;
  };
  // Nothing is remembered between openings: every dialog starts like this.
  const Box boxes[] = {
      {kIdDomain, "域名", 16, 56, true},          {kIdRegDate, "注册日期", 82, 72, false},
      {kIdExpireDate, "过期日期", 160, 72, true}, {kIdRegistrar, "域名商", 243, 72, false},
      {kIdBaidu, "百度收录", 318, 72, false},     {kIdGoogle, "Google收录", 400, 96, false},
  };
  HWND dlg = hwnd();
  for (const Box& b : boxes) {
    HWND box = createChild(dlg, L"BUTTON", b.caption, WS_TABSTOP | BS_AUTOCHECKBOX, b.x, 24, b.width, 16, b.id,
                           uiFont());
    SendMessageW(box, BM_SETCHECK, b.ticked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  // The domain is always exported.
  EnableWindow(GetDlgItem(dlg, kIdDomain), FALSE);
  createChild(dlg, L"BUTTON", "导出", WS_TABSTOP | BS_DEFPUSHBUTTON, 267, 79, 96, 32, IDOK, uiFont());
  createChild(dlg, L"BUTTON", "取消", WS_TABSTOP | BS_PUSHBUTTON, 379, 79, 96, 32, IDCANCEL, uiFont());
  setInitialFocus(GetDlgItem(dlg, IDOK));
}

void ExportSettingsDialog::onCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return;
  if (id == kIdDomain) {
    // Disabled, so only a message can toggle it; the domain always goes out.
    SendMessageW(GetDlgItem(hwnd(), kIdDomain), BM_SETCHECK, BST_CHECKED, 0);
  } else if (id == IDOK)
    exportAndClose();
  else if (id == IDCANCEL && hwnd())
    DestroyWindow(hwnd());
}

bool ExportSettingsDialog::ticked(int id) const {
  return SendMessageW(GetDlgItem(hwnd(), id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ExportSettingsDialog::exportAndClose() {
  // A click that arrives while the pending messages run must not export twice.
  if (exporting_ || !hwnd()) return;
  exporting_ = true;
  ExportTicks ticks;
  ticks.regDate = ticked(kIdRegDate);
  ticks.expireDate = ticked(kIdExpireDate);
  ticks.registrar = ticked(kIdRegistrar);
  ticks.baidu = ticked(kIdBaidu);
  ticks.google = ticked(kIdGoogle);
  const std::string bytes = buildExportText(readRows ? readRows() : std::vector<ExportRow>(), ticks);

  if (files) {
    // The directory is chosen again now, with its usual effects (it is
    // created when missing and its notice file rewritten). A failed write
    // is not reported: Notepad shows whatever the path holds.
    const std::filesystem::path path = exportFilePath(chooseDataDirectory(*files));
    files->writeWholeFile(path, bytes);
    if (launcher) launcher->openInNotepad(path, notepadCommandLine(pathForDisplay(path)));
  }
  processPendingMessages();
  exporting_ = false;
  if (hwnd()) DestroyWindow(hwnd());
}

std::vector<ExportRow> exportRowsFromList(const ListView& list) { return exportRows(list); }

}  // namespace dvx
