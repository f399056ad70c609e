// The owner-data list view's side of a RowModel: the list keeps no text and
// asks for each cell it draws; this answers those requests, and the type-to-
// find, and tells the list which rows changed. UI thread only.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ui/list/row_model.h"

namespace dvx {

class ModelListView {
 public:
  void attach(HWND list, const RowModel* model) {
    list_ = list;
    model_ = model;
  }

  // LVN_GETDISPINFOW: the cell's text in UTF-16, and the row icon. The text
  // stays in this object until the next request, so it outlives the
  // notification however the list reads it.
  void answerDisplayInfo(NMLVDISPINFOW& info);
  // LVN_ODFINDITEMW: the row the list moves to when the user types, or -1.
  int answerFindItem(const NMLVFINDITEMW& find) const;

  // After rows were added or removed: the list takes the model's row count.
  void showRowCount() const;
  // After a row's texts changed: only that row is drawn again.
  void redrawRow(int row) const;
  // After rows moved or were renumbered.
  void redrawAll() const;

 private:
  HWND list_ = nullptr;
  const RowModel* model_ = nullptr;
  std::wstring text_;
};

}  // namespace dvx
