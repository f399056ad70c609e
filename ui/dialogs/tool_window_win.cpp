#include "ui/dialogs/tool_window_win.h"

#include <commctrl.h>

#include "ui/common/wide_win.h"

namespace dvx {

namespace {

const wchar_t kToolWindowClass[] = L"DomivexToolWindow";
const wchar_t kFrameClass[] = L"DomivexFrame";
constexpr LONG_PTR kLinkMarker = 0x4C494E4B;  // "LINK" in a static's user data
// A child's 96-DPI box, two numbers to a window property; both offset so a
// box at the origin is not taken for a missing one.
const wchar_t kAt96[] = L"DomivexAt96";
const wchar_t kSize96[] = L"DomivexSize96";

HANDLE packPair(int a, int b) {
  const auto half = [](int v) { return static_cast<uintptr_t>(static_cast<uint16_t>(v + 0x8000)); };
  return reinterpret_cast<HANDLE>((half(a) << 16) | half(b));
}

void unpackPair(HANDLE h, int& a, int& b) {
  const auto v = reinterpret_cast<uintptr_t>(h);
  a = static_cast<int>((v >> 16) & 0xFFFF) - 0x8000;
  b = static_cast<int>(v & 0xFFFF) - 0x8000;
}

BOOL CALLBACK placeAtDpi(HWND child, LPARAM dpi) {
  HANDLE at = GetPropW(child, kAt96), size = GetPropW(child, kSize96);
  if (!at || !size) return TRUE;
  DpiBox b;
  unpackPair(at, b.x, b.y);
  unpackPair(size, b.width, b.height);
  b = scaleBox(b, static_cast<int>(dpi));
  SetWindowPos(child, nullptr, b.x, b.y, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

BOOL CALLBACK forgetBox(HWND child, LPARAM) {
  RemovePropW(child, kAt96);
  RemovePropW(child, kSize96);
  return TRUE;
}

HINSTANCE moduleInstance() { return GetModuleHandleW(nullptr); }

// Messages a container passes to its parent on behalf of its children.
bool isForwarded(UINT msg) {
  switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK frameProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (isForwarded(msg) || msg == WM_NOTIFY) return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
  if (msg == WM_ERASEBKGND) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    RECT r{};
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ScopedBrush border(CreateSolidBrush(kFrameBorder));
    FrameRect(dc, &r, border.get());
    return 1;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The tab control's own tool tips notify the tab itself, so WM_NOTIFY stays.
LRESULT CALLBACK forwardingSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR) {
  if (isForwarded(msg)) return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
  if (msg == WM_SETCURSOR) {
    HWND under = reinterpret_cast<HWND>(wParam);
    if (under != hwnd && GetWindowLongPtrW(under, GWLP_USERDATA) == kLinkMarker) {
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    }
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &forwardingSubclassProc, id);
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

bool registerFrameClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &frameProc;
    wc.hInstance = moduleInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kFrameClass;
    return RegisterClassExW(&wc) != 0;
  }();
  return registered;
}

}  // namespace

void processPendingMessages() {
  // Only what is queued now: stop after the first message stamped later
  // than the start, so a busy timer cannot hold the caller here.
  const DWORD start = GetTickCount();
  MSG msg;
  for (int n = 0; n < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    if (static_cast<LONG>(msg.time - start) > 0) return;
  }
}

HWND createChild(HWND parent, const wchar_t* className, const std::string& gbkText, DWORD style, int x, int y,
                 int width, int height, int id, HFONT font, DWORD exStyle) {
  const DpiBox b = scaleBox(DpiBox{x, y, width, height}, windowDpi(parent));
  HWND h = CreateWindowExW(exStyle, className, toWide(gbkText).c_str(), WS_CHILD | WS_VISIBLE | style, b.x, b.y,
                           b.width, b.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           moduleInstance(), nullptr);
  if (!h) return h;
  SetPropW(h, kAt96, packPair(x, y));
  SetPropW(h, kSize96, packPair(width, height));
  if (font) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return h;
}

HWND createFrame(HWND parent, int id, int x, int y, int width, int height) {
  registerFrameClass();
  return createChild(parent, kFrameClass, std::string(), WS_CLIPCHILDREN, x, y, width, height, id, nullptr,
                     WS_EX_CONTROLPARENT);
}

void forwardChildMessages(HWND child) { SetWindowSubclass(child, &forwardingSubclassProc, 1, 0); }

void markAsLink(HWND control) { SetWindowLongPtrW(control, GWLP_USERDATA, kLinkMarker); }

ToolWindow::~ToolWindow() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

bool ToolWindow::createWindow(const std::string& caption, int outerWidth, int outerHeight, HWND owner,
                              COLORREF background) {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &ToolWindow::windowProc;
    wc.hInstance = moduleInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(moduleInstance(), L"IDI_DOMIVEX");
    wc.hIconSm = wc.hIcon;
    wc.lpszClassName = kToolWindowClass;
    return RegisterClassExW(&wc) != 0;
  }();
  if (!registered || hwnd_) return false;

  background_.reset(background == CLR_INVALID ? nullptr : CreateSolidBrush(background));
  // A dialog opens over its owner, so on the owner's screen.
  fonts_.reset(owner ? windowDpi(owner) : screenDpi());
  outerWidth = scaled(outerWidth);
  outerHeight = scaled(outerHeight);

  RECT around{};
  if (!owner || !GetWindowRect(owner, &around)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  int x = around.left + (around.right - around.left - outerWidth) / 2;
  int y = around.top + (around.bottom - around.top - outerHeight) / 2;
  if (x < 0) x = 0;
  if (y < 0) y = 0;

  // Fixed dialog border: caption and close box, no sizing, no maximise.
  CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kToolWindowClass, toWide(caption).c_str(),
                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, x, y, outerWidth, outerHeight,
                  owner, nullptr, moduleInstance(), this);
  return hwnd_ != nullptr;
}

void ToolWindow::runModal(HWND blocked) {
  if (!hwnd_) return;
  inModal_ = true;
  modalDone_ = false;
  // EnableWindow returns true when the window was disabled already.
  const bool reenable = blocked && IsWindow(blocked) && !EnableWindow(blocked, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  if (focus_) SetFocus(focus_);

  MSG msg;
  while (!modalDone_ && hwnd_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the program's own loop ends on it
      break;
    }
    if (got < 0) break;
    if (!hwnd_ || !IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // The blocked window comes back before this one goes, so it gets the activation.
  if (reenable) EnableWindow(blocked, TRUE);
  if (hwnd_) DestroyWindow(hwnd_);
  inModal_ = false;
}

void ToolWindow::bringToFront() {
  if (!hwnd_) return;
  if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd_);
}

HBRUSH ToolWindow::backgroundBrush() const {
  return background_.get() ? background_.get() : GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT ToolWindow::onNotify(NMHDR* header) {
  return defaultProc(WM_NOTIFY, header ? header->idFrom : 0, reinterpret_cast<LPARAM>(header));
}

LRESULT ToolWindow::onCtlColor(UINT msg, HDC dc, HWND control) {
  if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
    LOGBRUSH lb{};
    GetObjectW(backgroundBrush(), sizeof lb, &lb);
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, lb.lbColor);
    return reinterpret_cast<LRESULT>(backgroundBrush());
  }
  return defaultProc(msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

void ToolWindow::onClose() {
  if (inModal_)
    endModal();
  else if (hwnd_)
    DestroyWindow(hwnd_);
}

LRESULT ToolWindow::defaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK ToolWindow::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ToolWindow* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<ToolWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<ToolWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  try {
    return self->handle(msg, wParam, lParam);
  } catch (...) {
    // No exception crosses the window procedure.
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

LRESULT ToolWindow::handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: onCreate(); return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_NOTIFY: return onNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return onCtlColor(msg, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
      if (lParam && onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_ERASEBKGND:
      if (onEraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
      break;
    case WM_ACTIVATE: onActivate(LOWORD(wParam) != WA_INACTIVE); return 0;
    case WM_DPICHANGED: onDpiChanged(dpiFromMessage(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_CLOSE: onClose(); return 0;
    case WM_DROPFILES: onDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_DESTROY:
      onDestroy();
      forgetDesignedBoxes();  // the children still exist here
      return 0;
    case WM_NCDESTROY: {
      const LRESULT r = DefWindowProcW(hwnd_, msg, wParam, lParam);
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      focus_ = nullptr;
      return r;
    }
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

void ToolWindow::onActivate(bool active) {
  // Like a dialog: remember the focused control on the way out, give it
  // back on the way in.
  if (!active) {
    HWND f = GetFocus();
    if (f && IsChild(hwnd_, f)) focus_ = f;
    return;
  }
  if (focus_ && IsWindow(focus_))
    SetFocus(focus_);
  else
    SetFocus(hwnd_);
}

void ToolWindow::onDpiChanged(int dpi, const RECT* suggested) {
  // Every box from its 96-DPI numbers, never from the scaled ones.
  EnumChildWindows(hwnd_, &placeAtDpi, dpi);
  fonts_.rescale(hwnd_, dpi);
  if (suggested)
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void ToolWindow::forgetDesignedBoxes() { EnumChildWindows(hwnd_, &forgetBox, 0); }

bool ToolWindow::onEraseBackground(HDC dc) {
  RECT r{};
  GetClientRect(hwnd_, &r);
  FillRect(dc, &r, backgroundBrush());
  return true;
}

}  // namespace dvx
