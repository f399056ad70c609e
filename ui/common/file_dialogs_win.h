// The standard open and save dialogs, with comdlg32 loaded on first use
// rather than imported: importing it costs every start of the program about
// 13 MB under Wine (it brings its own dependencies), the unattended check
// included, which never shows a dialog.
#pragma once
#include <windows.h>
#include <commdlg.h>

namespace dvx {

// As GetSaveFileNameW / GetOpenFileNameW; FALSE also when comdlg32 cannot
// be loaded.
BOOL showSaveFileDialog(OPENFILENAMEW* ofn);
BOOL showOpenFileDialog(OPENFILENAMEW* ofn);
// As CommDlgExtendedError: 0 after a cancel.
DWORD fileDialogError();

}  // namespace dvx
