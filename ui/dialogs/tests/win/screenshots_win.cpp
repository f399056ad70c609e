// Opens each dialog and tool window in turn and saves a picture of it (a
// 24-bit BMP read back from the screen) into the folder named on the command
// line. Run by dialog_screenshots.sh inside a Wine virtual desktop.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "ui/dialogs/tests/win/dialog_tour_win.h"
#include "ui/dialogs/tests/win/window_picture_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) return 2;
  const std::wstring dir = argv[1];
  LocalFree(argv);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  dvx::tourDialogs(nullptr, [&](HWND w, const wchar_t* name) {
    dvx::saveWindowPicture(w, dir + L"\\" + name + L".bmp");
  });
  return 0;
}
