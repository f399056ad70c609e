#include "ui/check/reminder_tray_win.h"

#include <shellapi.h>

#include "text/gbk_text.h"
#include "ui/common/app_messages_win.h"
#include "ui/common/wide_win.h"

namespace dvx {

const wchar_t ReminderTray::kClassName[] = L"DomivexReminderTray";

namespace {

constexpr UINT kIconId = 1;
constexpr UINT_PTR kLifetimeTimer = 1;
enum MenuCommand : UINT { kMenuOpen = 1, kMenuExit = 2 };

// Explorer announces a restart with this message; the icon must be added again.
UINT taskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace

ReminderTray::~ReminderTray() { close(); }

bool ReminderTray::show(HINSTANCE instance, const std::string& title, const std::string& text, Actions actions,
                        UINT lifetimeMs) {
  close();
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &ReminderTray::wndProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    registered = RegisterClassExW(&wc) != 0;
  }
  const std::wstring wideTitle = toWide(title);
  // A hidden top-level window, not a message-only one: those get no
  // broadcasts, so "TaskbarCreated" would never arrive.
  CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, wideTitle.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                  instance, this);
  if (!hwnd_) return false;

  // The small size the notification area draws, shared: nothing to free.
  iconImage_ = static_cast<HICON>(LoadImageW(instance, L"IDI_DOMIVEX", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  if (!iconImage_) iconImage_ = LoadIconW(nullptr, IDI_APPLICATION);
  tip_ = wideTitle;
  icon_ = std::make_unique<NotifyIcon>(hwnd_, kIconId, WM_APP_TRAY_ICON);
  if (!icon_->add(iconImage_, tip_)) {
    close();
    return false;
  }
  icon_->showBalloon(wideTitle, toWide(text));
  actions_ = std::move(actions);
  SetTimer(hwnd_, kLifetimeTimer, lifetimeMs, nullptr);
  return true;
}

void ReminderTray::close() {
  icon_.reset();
  if (hwnd_) {
    HWND gone = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(gone);
  }
}

LRESULT CALLBACK ReminderTray::wndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ReminderTray* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<ReminderTray*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<ReminderTray*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (self) self->hwnd_ = nullptr;
  }
  if (!self || msg == WM_NCDESTROY) return DefWindowProcW(hwnd, msg, wParam, lParam);
  try {
    return self->handle(msg, wParam, lParam);
  } catch (...) {
    // No exception crosses the window procedure.
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

LRESULT ReminderTray::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == taskbarCreatedMessage() && msg != 0) {
    if (icon_) icon_->readd();
    return 0;
  }
  switch (msg) {
    case WM_APP_TRAY_ICON: onIconEvent(LOWORD(lParam)); return 0;
    case WM_TIMER:
      if (wParam == kLifetimeTimer) finish(false);
      return 0;
    // Closed from outside (a session ending, a tool): the check still ends.
    case WM_CLOSE: finish(false); return 0;
    // However the window goes, the icon goes first: none outlives it.
    case WM_DESTROY: icon_.reset(); return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kMenuOpen) finish(true);
      if (LOWORD(wParam) == kMenuExit) finish(false);
      return 0;
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void ReminderTray::onIconEvent(UINT event) {
  const bool v4 = icon_ && icon_->version4();
  switch (event) {
    case NIN_BALLOONUSERCLICK: finish(true); break;
    case NIN_SELECT:
    case NIN_KEYSELECT:
      if (v4) finish(true);
      break;
    case WM_LBUTTONUP:
      if (!v4) finish(true);
      break;
    case WM_CONTEXTMENU:
      if (v4) showMenu();
      break;
    case WM_RBUTTONUP:
      if (!v4) showMenu();
      break;
    default: break;
  }
}

void ReminderTray::showMenu() {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  AppendMenuW(menu, MF_STRING, kMenuOpen, toWide("打开 Domivex").c_str());
  AppendMenuW(menu, MF_STRING, kMenuExit, toWide("退出").c_str());
  SetMenuDefaultItem(menu, kMenuOpen, FALSE);
  POINT at{};
  GetCursorPos(&at);
  // Without the foreground the menu would not close on a click elsewhere.
  SetForegroundWindow(hwnd_);
  const UINT picked = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0,
                                     hwnd_, nullptr);
  PostMessageW(hwnd_, WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (picked == kMenuOpen) finish(true);
  if (picked == kMenuExit) finish(false);
}

void ReminderTray::finish(bool open) {
  if (!hwnd_) return;
  // The actions may end the process or show another tray: take them first.
  Actions actions = std::move(actions_);
  actions_ = Actions();
  KillTimer(hwnd_, kLifetimeTimer);
  close();
  if (open && actions.open) actions.open();
  if (actions.ended) actions.ended();
}

}  // namespace dvx
