#include "ui/list/list_view_win.h"

#include <vector>

#include "ui/common/wide_win.h"

namespace dvx {

int ListView::rowCount() const { return static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0)); }

int ListView::columnCount() const {
  HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd_, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

bool ListView::isReport() const {
  return (GetWindowLongPtrW(hwnd_, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT;
}

std::string ListView::cell(int row, int column) const {
  // The buffer grows until the text fits; sizes are UTF-16 characters.
  std::vector<wchar_t> buf(256);
  for (;;) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buf.data();
    item.cchTextMax = static_cast<int>(buf.size());
    const int got = static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    if (got < static_cast<int>(buf.size()) - 1) return fromWide(std::wstring(buf.data(), static_cast<size_t>(got)));
    if (buf.size() > (1u << 20)) return fromWide(std::wstring(buf.data(), static_cast<size_t>(got)));
    buf.resize(buf.size() * 4);
  }
}

void ListView::setCell(int row, int column, const std::string& gbk) const {
  std::wstring w = toWide(gbk);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = &w[0];
  if (w.empty()) item.pszText = const_cast<wchar_t*>(L"");
  SendMessageW(hwnd_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

int ListView::appendRow(const std::string& firstCell, int image, LPARAM data) const {
  std::wstring w = toWide(firstCell);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.lParam = data;
  item.iItem = rowCount();
  item.pszText = w.empty() ? const_cast<wchar_t*>(L"") : &w[0];
  item.iImage = image;
  return static_cast<int>(SendMessageW(hwnd_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::deleteRow(int row) const { SendMessageW(hwnd_, LVM_DELETEITEM, row, 0); }

void ListView::clear() const { SendMessageW(hwnd_, LVM_DELETEALLITEMS, 0, 0); }

int ListView::selectedRow() const {
  return static_cast<int>(SendMessageW(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListView::selectRow(int row) const {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(hwnd_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageW(hwnd_, LVM_ENSUREVISIBLE, row, FALSE);
}

void ListView::setRedraw(bool on) const {
  SendMessageW(hwnd_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
  if (on) InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace dvx
