#include "ui/check/instance_handoff_win.h"

#include <cstring>

namespace dvx {

const wchar_t kRunCheckRequest[] = L"check";

namespace {

// "Local\" keeps the name to this logon session; the user's name keeps two
// accounts in one session (run as) apart.
std::wstring markerName() {
  wchar_t user[257] = {};
  DWORD size = 257;
  if (!GetUserNameW(user, &size)) user[0] = L'\0';
  return std::wstring(L"Local\\Domivex.MainWindow.") + user;
}

}  // namespace

InstanceMarker::InstanceMarker() : mutex_(CreateMutexW(nullptr, FALSE, markerName().c_str())) {}

InstanceMarker::~InstanceMarker() {
  if (mutex_) CloseHandle(mutex_);
}

bool mainWindowInstanceRuns() {
  HANDLE h = OpenMutexW(SYNCHRONIZE, FALSE, markerName().c_str());
  if (!h) return false;
  CloseHandle(h);
  return true;
}

HandOff handCheckToMainWindow(const wchar_t* windowClass, DWORD timeoutMs) {
  if (!mainWindowInstanceRuns()) return HandOff::kNoInstance;
  // A window starting up has its marker before its window: wait a little.
  HWND window = nullptr;
  for (int i = 0; i < 50 && !window; ++i) {
    window = FindWindowW(windowClass, nullptr);
    if (!window) Sleep(100);
  }
  if (!window) return HandOff::kNotTaken;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  // The window may bring itself forward when its reminder is clicked.
  AllowSetForegroundWindow(pid);
  COPYDATASTRUCT data{};
  data.dwData = kCopyDataRunCheck;
  data.cbData = static_cast<DWORD>(sizeof kRunCheckRequest);
  data.lpData = const_cast<wchar_t*>(kRunCheckRequest);
  DWORD_PTR answer = 0;
  const LRESULT sent = SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                           SMTO_ABORTIFHUNG | SMTO_BLOCK, timeoutMs, &answer);
  return sent != 0 && answer == TRUE ? HandOff::kHandedOff : HandOff::kNotTaken;
}

bool isRunCheckRequest(const COPYDATASTRUCT* data) {
  if (!data || data->dwData != kCopyDataRunCheck || data->cbData != sizeof kRunCheckRequest || !data->lpData)
    return false;
  // Compared as the bytes it holds: a sender may put anything there.
  return std::memcmp(data->lpData, kRunCheckRequest, sizeof kRunCheckRequest) == 0;
}

}  // namespace dvx
