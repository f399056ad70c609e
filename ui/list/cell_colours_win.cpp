#include "ui/list/cell_colours_win.h"

#include <commctrl.h>

#include "ui/list/cell_colour_registry.h"

namespace dvx {

namespace {

ListId idOf(HWND list) { return reinterpret_cast<ListId>(list); }

// Repainting by invalidation gives the same picture as hiding and showing
// the list, without the flicker.
void repaintList(HWND list) { InvalidateRect(list, nullptr, FALSE); }

LRESULT passOn(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(cellColourMap().previousProcedure());
  return previous ? CallWindowProcW(previous, hwnd, msg, wParam, lParam)
                  : DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT onCustomDraw(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
  HWND list = cd->nmcd.hdr.hwndFrom;
  const DWORD stage = cd->nmcd.dwDrawStage;
  if (stage == CDDS_PREPAINT || stage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYSUBITEMDRAW;
  if (stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
    const auto colours = cellColourMap().lookup(idOf(list), static_cast<int32_t>(cd->nmcd.dwItemSpec),
                                                cd->iSubItem);
    if (colours) {
      cd->clrText = colours->text;
      cd->clrTextBk = colours->background;
    } else {
      // The list keeps the colours last set, so uncoloured cells are reset.
      cd->clrText = static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0));
      cd->clrTextBk = static_cast<COLORREF>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0));
    }
  }
  return passOn(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK colourParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CLOSE || msg == WM_DESTROY) {
    auto previous = reinterpret_cast<WNDPROC>(cellColourMap().discardAll());
    if (previous) SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    return previous ? CallWindowProcW(previous, hwnd, msg, wParam, lParam)
                    : DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  if (msg == WM_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (hdr && hdr->code == NM_CUSTOMDRAW && cellColourMap().hasRecord(idOf(hdr->hwndFrom)))
      return onCustomDraw(hwnd, msg, wParam, lParam);
  }
  return passOn(hwnd, msg, wParam, lParam);
}

void subclassParent(HWND parent) {
  const LONG_PTR old = GetWindowLongPtrW(parent, GWLP_WNDPROC);
  cellColourMap().setPreviousProcedure(static_cast<std::uintptr_t>(old));
  SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&colourParentProc));
}

}  // namespace

void setCellColour(HWND parent, HWND list, int row, int column, COLORREF text,
                   std::optional<COLORREF> background, bool repaint) {
  const auto listText = static_cast<uint32_t>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0));
  const auto listBk = static_cast<uint32_t>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0));
  std::optional<uint32_t> bg;
  if (background) bg = static_cast<uint32_t>(*background);
  if (cellColourMap().setCellColour(idOf(list), row, column, text, bg, listText, listBk)) subclassParent(parent);
  if (repaint) repaintList(list);
}

void replaceCellColours(HWND parent, HWND list, const std::vector<CellColourMap::TextColour>& cells) {
  const auto listText = static_cast<uint32_t>(SendMessageW(list, LVM_GETTEXTCOLOR, 0, 0));
  const auto listBk = static_cast<uint32_t>(SendMessageW(list, LVM_GETTEXTBKCOLOR, 0, 0));
  if (cellColourMap().replaceCellColours(idOf(list), cells, listText, listBk)) subclassParent(parent);
  repaintList(list);
}

void clearCellColours(HWND list, bool repaint) {
  if (cellColourMap().clearCellColours(idOf(list)) && repaint) repaintList(list);
}

}  // namespace dvx
