#include "ui/dialogs/find_box_win.h"

#include "ui/common/wide_win.h"

namespace dvx {

void FindBox::open(HWND owner) {
  if (!hwnd()) {
    if (!createWindow("查找", 372, 140, owner, kDialogBackground)) return;
    // Near the owner's top right, so the rows it finds stay in sight.
    RECT o{}, me{};
    if (owner && GetWindowRect(owner, &o) && GetWindowRect(hwnd(), &me)) {
      const int x = o.right - (me.right - me.left) - scaled(24);
      const int y = o.top + scaled(60);
      SetWindowPos(hwnd(), nullptr, x > o.left ? x : o.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  HWND edit = GetDlgItem(hwnd(), kIdText);
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
  SetFocus(edit);
  SendMessageW(edit, EM_SETSEL, 0, -1);
}

void FindBox::hide() {
  if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
}

void FindBox::onCreate() {
  HWND box = hwnd();
  createChild(box, L"STATIC", "查找内容:", SS_LEFT, 10, 15, 64, 16, kIdLabel, uiFont());
  createChild(box, L"EDIT", std::string(), WS_TABSTOP | ES_AUTOHSCROLL, 76, 11, 178, 22, kIdText, uiFont(),
              WS_EX_CLIENTEDGE);
  createChild(box, L"BUTTON", "查找下一个", WS_TABSTOP | BS_DEFPUSHBUTTON, 264, 9, 88, 26, IDOK, uiFont());
  createChild(box, L"BUTTON", "取消", WS_TABSTOP | BS_PUSHBUTTON, 264, 40, 88, 26, IDCANCEL, uiFont());
  // A label rather than a group box: the window clips its children, and a
  // group box leaves its inside unpainted.
  createChild(box, L"STATIC", "方向:", SS_LEFT, 10, 47, 64, 16, kIdDirection, uiFont());
  createChild(box, L"BUTTON", "向上", WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 76, 45, 56, 20, kIdUp, uiFont());
  HWND down = createChild(box, L"BUTTON", "向下", BS_AUTORADIOBUTTON, 140, 45, 56, 20, kIdDown, uiFont());
  SendMessageW(down, BM_SETCHECK, BST_CHECKED, 0);
  createChild(box, L"STATIC", std::string(), SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 10, 80, 342, 16, kIdStatus,
              uiFont());
  setInitialFocus(GetDlgItem(box, kIdText));
}

void FindBox::onCommand(int id, int code, HWND) {
  if (id == kIdText && code == EN_CHANGE) {
    setStatus(std::string());  // an old "not found" would describe another text
    return;
  }
  if (code != BN_CLICKED) return;
  if (id == IDOK)
    findNext();
  else if (id == IDCANCEL)
    hide();
}

bool FindBox::findNext() {
  const std::string wanted = text();
  if (wanted.empty()) return false;
  last_ = wanted;
  const bool found = search && search(wanted, down());
  setStatus(found ? std::string() : "找不到 \"" + wanted + "\"");
  if (!found) MessageBeep(MB_ICONINFORMATION);
  return found;
}

bool FindBox::findAgain(HWND owner) {
  // With the box open, what it holds now (typed since the last search).
  if (visible() && !text().empty()) return findNext();
  if (last_.empty()) {
    open(owner);
    return false;
  }
  const bool found = search && search(last_, down());
  setStatus(found ? std::string() : "找不到 \"" + last_ + "\"");
  // Nothing found with the box hidden: it opens to say so.
  if (!found) {
    MessageBeep(MB_ICONINFORMATION);
    if (!visible()) open(owner);
  }
  return found;
}

std::string FindBox::text() const { return hwnd() ? windowText(GetDlgItem(hwnd(), kIdText)) : last_; }

bool FindBox::down() const {
  return !hwnd() || SendMessageW(GetDlgItem(hwnd(), kIdUp), BM_GETCHECK, 0, 0) != BST_CHECKED;
}

std::string FindBox::status() const { return hwnd() ? windowText(GetDlgItem(hwnd(), kIdStatus)) : std::string(); }

void FindBox::setStatus(const std::string& gbk) {
  if (hwnd()) setWindowText(GetDlgItem(hwnd(), kIdStatus), gbk);
}

}  // namespace dvx
