// "帮助中心": four tabs of fixed help (how to use the program, what happens
// after a domain expires, management-portal links, WHOIS servers). Owned by
// the main window, not modal; there is at most one at a time.
#pragma once
#include <windows.h>

#include <array>
#include <vector>

#include "ui/common/gdi_win.h"
#include "ui/dialogs/help_texts.h"
#include "ui/dialogs/process_launcher.h"
#include "ui/dialogs/tool_window_win.h"

namespace dvx {

class HelpCentreWindow : public ToolWindow {
 public:
  // "关闭" is IDCANCEL. Page controls are children of the tab control.
  enum ControlId : int {
    kIdTabs = 400,
    kIdHeading1 = 410,  // .. +2
    kIdRule1 = 413,     // .. +2
    kIdUsageText1 = 416,  // .. +2
    kIdUsageNote = 419,
    kIdExpiryText = 420,
    kIdProvider1 = 430,  // .. +4
    kIdLink1 = 440,      // .. +4
    kIdReferenceFrame = 450,
    kIdReference = 451,
  };

  ProcessLauncher* launcher = nullptr;  // opens the links in the browser

  // Opens the window on its first page, or brings the open one to the
  // front. Returns its window.
  HWND open(HWND owner);

  HWND tabs() const { return tabs_; }
  HWND referenceBox() const { return reference_; }
  int currentPage() const;

 private:
  void onCreate() override;
  void onCommand(int id, int code, HWND control) override;
  LRESULT onNotify(NMHDR* header) override;
  LRESULT onCtlColor(UINT msg, HDC dc, HWND control) override;
  bool onDrawItem(const DRAWITEMSTRUCT& item) override;

  // The page texts' font, plain or underlined for links.
  HFONT makeBodyFont(bool underline);
  void createUsagePage();
  void createExpiryPage();
  void createLinksPage();
  void createReferencePage();
  HWND pageChild(int page, const wchar_t* cls, const std::string& text, DWORD style, int x, int y, int w, int h,
                 int id, HFONT font);
  void showPage(int page);

  HWND tabs_ = nullptr;
  HWND reference_ = nullptr;
  std::array<std::vector<HWND>, kHelpTabCount> pages_;
  ScopedBrush linkBrush_;
};

}  // namespace dvx
