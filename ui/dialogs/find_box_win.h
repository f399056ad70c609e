// "查找": a small modeless box over the main window, made once and then
// shown and hidden. It holds the text and the direction; the owner does the
// search through `search` and the box says when nothing matched.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "ui/dialogs/tool_window_win.h"

namespace dvx {

class FindBox : public ToolWindow {
 public:
  // "查找下一个" is IDOK (Enter in the box), closing is IDCANCEL (Esc).
  enum ControlId : int { kIdLabel = 360, kIdText, kIdDirection, kIdUp, kIdDown, kIdStatus };

  // Searches for the GBK text in the direction; true when a row was found.
  std::function<bool(const std::string& text, bool down)> search;

  // Makes the box on first use, shows it and puts the focus in its text,
  // all of it selected.
  void open(HWND owner);
  void hide();
  bool visible() const { return hwnd() && IsWindowVisible(hwnd()); }
  // The last search again (F3), the box open or not; without a text yet it
  // opens the box. True when a row was found.
  bool findAgain(HWND owner);

  // The text in the box (GBK) and the direction chosen.
  std::string text() const;
  bool down() const;
  std::string status() const;

 private:
  void onCreate() override;
  void onCommand(int id, int code, HWND control) override;
  void onClose() override { hide(); }
  bool findNext();
  void setStatus(const std::string& gbk);

  std::string last_;  // the text of the last search, for F3
};

}  // namespace dvx
