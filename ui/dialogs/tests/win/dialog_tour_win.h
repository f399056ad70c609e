// Opens each dialog and tool window in turn, as a user would see it, and
// hands each view to the caller before closing it: for the pictures in
// docs/screenshots and the check of the layout at another DPI.
#pragma once
#include <windows.h>

#include <functional>

namespace dvx {

// `visit` gets each window with its picture name (add-domains,
// modify-domain, export, help-1-usage ... help-4-whois). `owner` (may be
// null) owns the export and help windows.
void tourDialogs(HWND owner, const std::function<void(HWND window, const wchar_t* name)>& visit);

}  // namespace dvx
