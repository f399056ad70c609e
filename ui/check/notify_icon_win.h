// Owner of one notification-area icon: added when shown, removed with its
// owner, so a process that ends never leaves a dead icon behind.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace dvx {

class NotifyIcon {
 public:
  // `owner` receives `callbackMessage` for the icon's events (version 4:
  // LOWORD(lParam) is the event).
  NotifyIcon(HWND owner, UINT id, UINT callbackMessage);
  ~NotifyIcon() { remove(); }
  NotifyIcon(const NotifyIcon&) = delete;
  NotifyIcon& operator=(const NotifyIcon&) = delete;

  // Adds the icon with its tool tip; a shown icon is replaced.
  bool add(HICON icon, const std::wstring& tip);
  // The balloon over the added icon; title and text are cut to what the
  // shell takes (63 and 255 characters).
  bool showBalloon(const std::wstring& title, const std::wstring& text);
  // After Explorer restarted ("TaskbarCreated"): the icon again, balloon aside.
  bool readd();
  void remove();
  bool shown() const { return shown_; }
  // Version 4 events (NIN_SELECT, WM_CONTEXTMENU) rather than the old mouse ones.
  bool version4() const { return version4_; }

 private:
  NOTIFYICONDATAW base() const;

  HWND owner_;
  UINT id_, callbackMessage_;
  HICON icon_ = nullptr;
  std::wstring tip_;
  bool shown_ = false;
  bool version4_ = false;
};

}  // namespace dvx
