// Thin wrapper over a report-style list view: cells as GBK text. On an
// owner-data list (the domain list) the reads and the selection apply; its
// texts are written in the RowModel it shows.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace dvx {

class ListView {
 public:
  explicit ListView(HWND hwnd = nullptr) : hwnd_(hwnd) {}
  HWND hwnd() const { return hwnd_; }

  int rowCount() const;
  int columnCount() const;
  bool isReport() const;
  std::string cell(int row, int column) const;
  void setCell(int row, int column, const std::string& gbk) const;
  // Appends a row with column 0 set, the given image and item data;
  // returns its index.
  int appendRow(const std::string& firstCell, int image, LPARAM data = 0) const;
  void deleteRow(int row) const;
  void clear() const;
  int selectedRow() const;  // -1 when nothing is selected
  void selectRow(int row) const;
  void setRedraw(bool on) const;

 private:
  HWND hwnd_;
};

}  // namespace dvx
