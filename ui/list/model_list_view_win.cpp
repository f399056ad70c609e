#include "ui/list/model_list_view_win.h"

#include "ui/common/wide_win.h"

namespace dvx {

namespace {
constexpr int kRowIcon = 81;  // every row shows entry 81 of the icon set
#ifdef LVFI_SUBSTRING
constexpr UINT kPrefixFlags = LVFI_PARTIAL | LVFI_SUBSTRING;
#else
constexpr UINT kPrefixFlags = LVFI_PARTIAL;
#endif
}  // namespace

void ModelListView::answerDisplayInfo(NMLVDISPINFOW& info) {
  LVITEMW& item = info.item;
  if (!model_) return;
  if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) item.iImage = kRowIcon;
  if (item.mask & LVIF_TEXT) {
    text_ = toWide(model_->cell(item.iItem, item.iSubItem));
    item.pszText = const_cast<wchar_t*>(text_.c_str());
  }
}

int ModelListView::answerFindItem(const NMLVFINDITEMW& find) const {
  const LVFINDINFOW& what = find.lvfi;
  // Rows carry no item data; only a search by text can match.
  if (!model_ || !(what.flags & (LVFI_STRING | kPrefixFlags)) || !what.psz) return -1;
  const bool partial = (what.flags & kPrefixFlags) != 0;
  return model_->find(fromWide(what.psz), find.iStart, partial, (what.flags & LVFI_WRAP) != 0);
}

void ModelListView::showRowCount() const {
  SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(model_ ? model_->rowCount() : 0), 0);
}

void ModelListView::redrawRow(int row) const {
  SendMessageW(list_, LVM_REDRAWITEMS, static_cast<WPARAM>(row), static_cast<LPARAM>(row));
}

void ModelListView::redrawAll() const { InvalidateRect(list_, nullptr, FALSE); }

}  // namespace dvx
