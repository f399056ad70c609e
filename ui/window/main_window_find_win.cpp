// The main window's find: Ctrl+F opens the find box, F3 finds again; the
// search runs over the row model, never over the list control.
#include "ui/window/main_window_win.h"

namespace dvx {

void MainWindow::connectFindBox() {
  if (!find_.search) find_.search = [this](const std::string& text, bool down) { return findAndSelect(text, down); };
}

void MainWindow::openFindBox() {
  connectFindBox();
  find_.open(hwnd_);
}

bool MainWindow::findAgain() {
  connectFindBox();
  return find_.findAgain(hwnd_);
}

bool MainWindow::findAndSelect(const std::string& text, bool down) {
  if (!hwnd_) return false;
  const int row = rows_.findDomain(text, list().selectedRow(), down);
  if (row < 0) return false;
  list().selectRow(row);  // single selection: the old row lets go; scrolled into view
  return true;
}

bool MainWindow::translateMessage(MSG& msg) {
  if (!hwnd_ || !msg.hwnd) return false;
  if (!keys_) {
    ACCEL keys[] = {
        {FCONTROL | FVIRTKEY, 'F', kIdFindOpen},
        {FVIRTKEY, VK_F3, kIdFindAgain},
    };
    keys_ = CreateAcceleratorTableW(keys, static_cast<int>(sizeof keys / sizeof keys[0]));
  }
  HWND box = find_.hwnd();
  // The box's keys first: with the main window's shortcuts and then the
  // dialog keys, so F3 works in the box and Esc, Tab and Enter stay its own.
  if (box && (msg.hwnd == box || IsChild(box, msg.hwnd))) {
    if (keys_ && TranslateAcceleratorW(hwnd_, keys_, &msg)) return true;
    return IsDialogMessageW(box, &msg) != FALSE;
  }
  const bool inMain = msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd);
  return inMain && keys_ && TranslateAcceleratorW(hwnd_, keys_, &msg) != 0;
}

}  // namespace dvx
