// One main window per user takes the database: an unattended check that
// finds one running hands its pass to that window instead of opening the
// database beside it.
#pragma once
#include <windows.h>

#include <string>

namespace dvx {

// Held by the process of the main window for its whole life: a per-user
// named mutex in the session's namespace tells that a window runs.
class InstanceMarker {
 public:
  InstanceMarker();
  ~InstanceMarker();
  InstanceMarker(const InstanceMarker&) = delete;
  InstanceMarker& operator=(const InstanceMarker&) = delete;

 private:
  HANDLE mutex_;
};

// True while some process of this user holds an InstanceMarker.
bool mainWindowInstanceRuns();

// What WM_COPYDATA's dwData says for "run the due-only check and show its
// reminder"; its data is the text kRunCheckRequest with its terminator.
constexpr ULONG_PTR kCopyDataRunCheck = 0x44565843;  // "DVXC"
extern const wchar_t kRunCheckRequest[];

enum class HandOff {
  kNoInstance,  // no main window runs: the check opens the database itself
  kHandedOff,   // the window took the request
  kNotTaken,    // a window runs but could not be reached or refused
};

// Finds the main window of this user (its class, retrying briefly while a
// starting instance creates it) and sends it the request, never waiting
// more than `timeoutMs` on a hung window.
HandOff handCheckToMainWindow(const wchar_t* windowClass, DWORD timeoutMs = 5000);

// The receiver's side: true when `data` is a well-formed run-check request.
bool isRunCheckRequest(const COPYDATASTRUCT* data);

}  // namespace dvx
