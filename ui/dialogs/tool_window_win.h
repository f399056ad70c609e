// What the dialogs and tool windows opened from the main window share: one
// window class whose procedure hands each message to a member named for it,
// a modal loop, the framed box that holds an edit control, and the step that
// lets pending messages run before a dialog closes itself.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "ui/common/dpi_win.h"
#include "ui/common/gdi_win.h"

namespace dvx {

// Background of the add, modify and export dialogs, and of the help links.
constexpr COLORREF kDialogBackground = RGB(251, 250, 248);
constexpr COLORREF kFrameBorder = RGB(192, 192, 192);

// Runs the messages queued for this thread once. A WM_QUIT found is posted
// again so the program's own loop still ends.
void processPendingMessages();

// A child control with the given GBK text; `font` may be null. The box is
// a 96-DPI one: it is placed at the parent's DPI and remembered, so a
// ToolWindow lays it out again when the DPI changes.
HWND createChild(HWND parent, const wchar_t* className, const std::string& gbkText, DWORD style, int x, int y,
                 int width, int height, int id, HFONT font, DWORD exStyle = 0);

// A white box (96-DPI numbers) with a light grey border that holds other
// controls. It hands its children's notifications and colour requests on to
// its own parent, so the dialog answers them as if the children were its own.
HWND createFrame(HWND parent, int id, int x, int y, int width, int height);

// Makes `child` (a tab control) hand its children's notifications and colour
// requests on to its parent in the same way, and show the hand cursor over
// the children marked with markAsLink.
void forwardChildMessages(HWND child);
void markAsLink(HWND control);

class ToolWindow {
 public:
  ToolWindow() = default;
  virtual ~ToolWindow();
  ToolWindow(const ToolWindow&) = delete;
  ToolWindow& operator=(const ToolWindow&) = delete;

  // The window while it exists, otherwise null.
  HWND hwnd() const { return hwnd_; }

 protected:
  // Creates the hidden top-level window with a fixed border and the given
  // outer size (at 96 DPI; scaled to the owner's DPI, or the screen's),
  // centred on its owner (or on the screen without one), then calls
  // onCreate. `background` is used for the client area; pass CLR_INVALID
  // for the system's dialog colour.
  bool createWindow(const std::string& caption, int outerWidth, int outerHeight, HWND owner,
                    COLORREF background);
  // Shows the window and dispatches messages until endModal or the window
  // is gone; `blocked` (optional) takes no input meanwhile. Destroys the
  // window at the end.
  void runModal(HWND blocked);
  void endModal() { modalDone_ = true; }
  bool inModalLoop() const { return inModal_; }
  // Control that receives the focus when the window is activated.
  void setInitialFocus(HWND control) { focus_ = control; }
  // Brings an open window to the front, restored if it was minimised.
  void bringToFront();

  HBRUSH backgroundBrush() const;
  HFONT uiFont() { return font(L"宋体", -12); }  // 宋体 12 px, for buttons and labels
  // A font of the window, `height96` as CreateFont takes it at 96 DPI; made
  // again when the DPI changes.
  HFONT font(const wchar_t* face, int height96, bool bold = false, bool underline = false) {
    return fonts_.get(face, height96, bold, underline);
  }
  int dpi() const { return fonts_.dpi(); }
  int scaled(int value96) const { return scaleForDpi(value96, dpi()); }

  // Message handlers; the defaults do what DefWindowProc would.
  virtual void onCreate() {}
  virtual void onCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
  virtual LRESULT onNotify(NMHDR* header);
  // WM_CTLCOLORSTATIC / WM_CTLCOLOREDIT / WM_CTLCOLORBTN; the default paints
  // labels transparently on the window's background.
  virtual LRESULT onCtlColor(UINT msg, HDC dc, HWND control);
  virtual bool onDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  // Files dropped on a window that accepts them (DragAcceptFiles); the
  // handler owns the drop and finishes it.
  virtual void onDropFiles(HDROP drop) { DragFinish(drop); }
  // The close box. Modal windows end their loop, others are destroyed.
  virtual void onClose();
  virtual void onDestroy() {}

  LRESULT defaultProc(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void onActivate(bool active);
  bool onEraseBackground(HDC dc);
  void onDpiChanged(int dpi, const RECT* suggested);
  void forgetDesignedBoxes();

  HWND hwnd_ = nullptr;
  HWND focus_ = nullptr;
  bool modalDone_ = false;
  bool inModal_ = false;
  ScopedBrush background_;
  DpiFonts fonts_;
};

}  // namespace dvx
