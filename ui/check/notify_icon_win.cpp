#include "ui/check/notify_icon_win.h"

#include <shellapi.h>

#include <cwchar>

namespace dvx {

namespace {

template <size_t N>
void copyCut(wchar_t (&to)[N], const std::wstring& from) {
  size_t n = from.size() < N - 1 ? from.size() : N - 1;
  // Never end on the first half of a surrogate pair.
  if (n > 0 && n < from.size() && from[n - 1] >= 0xD800 && from[n - 1] <= 0xDBFF) --n;
  wmemcpy(to, from.data(), n);
  to[n] = L'\0';
}

}  // namespace

NotifyIcon::NotifyIcon(HWND owner, UINT id, UINT callbackMessage)
    : owner_(owner), id_(id), callbackMessage_(callbackMessage) {}

NOTIFYICONDATAW NotifyIcon::base() const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = id_;  // an id, not a GUID: Windows ties a GUID to the exe's path
  return data;
}

bool NotifyIcon::add(HICON icon, const std::wstring& tip) {
  remove();
  icon_ = icon;
  tip_ = tip;
  NOTIFYICONDATAW data = base();
  data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP | NIF_SHOWTIP;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon_;
  copyCut(data.szTip, tip_);
  if (!Shell_NotifyIconW(NIM_ADD, &data)) return false;
  shown_ = true;
  // Only after the add: Wine refuses the version for an icon it lacks.
  data.uVersion = NOTIFYICON_VERSION_4;
  version4_ = Shell_NotifyIconW(NIM_SETVERSION, &data) != FALSE;
  return true;
}

bool NotifyIcon::showBalloon(const std::wstring& title, const std::wstring& text) {
  if (!shown_) return false;
  NOTIFYICONDATAW data = base();
  data.uFlags = NIF_INFO;
  data.dwInfoFlags = NIIF_WARNING;
  copyCut(data.szInfoTitle, title);
  copyCut(data.szInfo, text);
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool NotifyIcon::readd() {
  if (!icon_) return false;
  return add(icon_, tip_);
}

void NotifyIcon::remove() {
  if (!shown_) return;
  NOTIFYICONDATAW data = base();
  Shell_NotifyIconW(NIM_DELETE, &data);
  shown_ = false;
}

}  // namespace dvx
