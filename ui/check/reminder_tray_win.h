// The reminder in the notification area: a hidden top-level window that
// owns the icon and its balloon and answers the icon's clicks and menu.
// The unattended check shows it from its own short-lived process, the main
// window from its process when the check was handed to it.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/check/notify_icon_win.h"

namespace dvx {

class ReminderTray {
 public:
  struct Actions {
    // A click on the balloon or the icon, or "打开 Domivex" in its menu.
    std::function<void()> open;
    // The tray is gone: after `open`, on "退出", or when its time ran out.
    std::function<void()> ended;
  };

  ReminderTray() = default;
  ~ReminderTray();
  ReminderTray(const ReminderTray&) = delete;
  ReminderTray& operator=(const ReminderTray&) = delete;

  // Shows the icon with the balloon (GBK texts); a tray already shown is
  // replaced. The icon leaves by itself after `lifetimeMs`. False when no
  // icon could be added (the tray then is not shown and `ended` not called).
  bool show(HINSTANCE instance, const std::string& title, const std::string& text, Actions actions,
            UINT lifetimeMs);
  // Removes the icon and the window without calling `ended`.
  void close();
  bool shown() const { return hwnd_ != nullptr; }
  HWND hwnd() const { return hwnd_; }

  // The hidden window's class; its caption is the balloon's title.
  static const wchar_t kClassName[];

 private:
  static LRESULT CALLBACK wndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void onIconEvent(UINT event);
  void showMenu();
  void finish(bool open);

  HWND hwnd_ = nullptr;
  std::unique_ptr<NotifyIcon> icon_;
  HICON iconImage_ = nullptr;
  std::wstring tip_;
  Actions actions_;
};

}  // namespace dvx
