#include "ui/list/anchoring_win.h"

#include "ui/common/dpi_win.h"
#include "ui/list/anchor_layout.h"

namespace dvx {

namespace {

AnchorRegistry& registry() {
  static AnchorRegistry r;
  return r;
}

AnchorRect toAnchorRect(const RECT& r) { return AnchorRect{r.left, r.top, r.right, r.bottom}; }

void layOut(HWND hwnd) {
  RECT client{};
  GetClientRect(hwnd, &client);
  try {
    for (const AnchorRegistry::Move& m :
         registry().layout(reinterpret_cast<WindowId>(hwnd), client.right, client.bottom)) {
      MoveWindow(reinterpret_cast<HWND>(m.control), m.placement.left, m.placement.top, m.placement.width,
                 m.placement.height, TRUE);
    }
  } catch (...) {
    // No exception crosses the window procedure; the message still
    // reaches the window below.
  }
}

LRESULT CALLBACK anchoredParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const WindowId parent = reinterpret_cast<WindowId>(hwnd);
  if (msg == WM_SIZE) layOut(hwnd);
  // The new DPI holds before the window below takes its new size, so the
  // size change already lays out at it.
  if (msg == WM_DPICHANGED) registry().setParentDpi(parent, dpiFromMessage(wParam));
  auto previous = reinterpret_cast<WNDPROC>(registry().previousProcedure(parent));
  const LRESULT result = previous ? CallWindowProcW(previous, hwnd, msg, wParam, lParam)
                                  : DefWindowProcW(hwnd, msg, wParam, lParam);
  // Also when the new DPI came without a new size.
  if (msg == WM_DPICHANGED && IsWindow(hwnd)) layOut(hwnd);
  return result;
}

}  // namespace

void anchorControl(HWND control, int anchorType, int dpi) {
  HWND parent = GetParent(control);
  if (!parent) return;
  RECT pw{}, pc{}, cw{};
  GetWindowRect(parent, &pw);
  GetClientRect(parent, &pc);
  GetWindowRect(control, &cw);
  const AnchorResult result =
      registry().anchor(anchorType, reinterpret_cast<WindowId>(parent), reinterpret_cast<WindowId>(control),
                        toAnchorRect(pw), pc.right, pc.bottom, toAnchorRect(cw), dpi > 0 ? dpi : windowDpi(parent));
  if (result == AnchorResult::kRegisteredNewParent) {
    // Record the replaced procedure before the new one can run.
    const LONG_PTR old = GetWindowLongPtrW(parent, GWLP_WNDPROC);
    registry().setPreviousProcedure(reinterpret_cast<WindowId>(parent), static_cast<std::uintptr_t>(old));
    SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&anchoredParentProc));
  }
}

}  // namespace dvx
