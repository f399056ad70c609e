// The rows of the domain list: the eleven column texts of every row, in
// display order. The list view holds no text of its own; it asks this table
// for the cells it draws. Used on the UI thread only.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/domain_record.h"

namespace dvx {

constexpr int kListColumnCount = 11;
constexpr int kNumberColumn = 0;  // the row's 1-based position, decimal
constexpr int kIdColumn = 10;     // the record id, decimal

class RowModel {
 public:
  int rowCount() const { return static_cast<int>(order_.size()); }
  void clear();

  // Appends a row numbered with the new row count, showing the domain and
  // the id; its other cells are empty.
  void append(int32_t id, const std::string& domain);

  // The text of a cell; empty off the table.
  std::string cell(int row, int column) const;
  int32_t id(int row) const;
  // Every row's text of one column, in display order: the sort keys, the
  // expiry dates to colour.
  std::vector<std::string> column(int column) const;

  // Writes one of the texts of columns 1 to 9; a text ends at its first NUL,
  // as it would in a list view. Returns whether the cell changed. The number
  // and the id are written by renumber() and append() only.
  bool setCell(int row, int column, const std::string& text);

  // Writes the texts of columns 1 to 9 of a row at once, each ending at its
  // first NUL. Returns whether the row changed.
  using RowTexts = std::array<std::string_view, kIdColumn - 1>;
  bool setTexts(int row, const RowTexts& texts);

  // Column 0 becomes 1..n in display order.
  void renumber();

  // Reorders the rows: display position i gets the row that was at position
  // order[i]. Anything but a permutation of the positions is refused (false).
  bool permute(const std::vector<int>& order);

  void erase(int row);

  // The display position of the row holding this record, or -1.
  int rowOfId(int32_t id) const;

  // Type-to-find over the column-0 texts: the first row from `start` on
  // whose text begins with `text` (equals it, unless `partial`), with ASCII
  // letters matched in either case; with `wrap` the rows before `start`
  // follow. -1 when none matches or the text is empty.
  int find(const std::string& text, int start, bool partial, bool wrap) const;

  // The find box: the next row whose domain (column 1) holds `needle`
  // anywhere, ASCII letters in either case, never matching from a GBK trail
  // byte; from the row after `fromRow` (from row 0 going down, the last row
  // going up, when `fromRow` is -1), downwards or upwards, wrapping once so
  // that `fromRow` itself comes last. -1 when none or `needle` is empty.
  int findDomain(const std::string& needle, int fromRow, bool down) const;

 private:
  struct Row {
    int32_t id = 0;
    int32_t number = 0;
    std::string texts;  // columns 1..9, each ended by a NUL
  };
  const Row* rowAt(int row) const;
  static std::string textOf(const Row& row, int column);
  void indexPositions();

  std::vector<Row> rows_;          // in the order they were appended
  std::vector<uint32_t> order_;    // display position -> index in rows_
  std::vector<uint32_t> position_; // index in rows_ -> display position
  bool idsAscending_ = true;       // rows_ sorted by id: found by halving
};

// Writes the looked-up columns of a row from a record (4, 5, 7, 8, 9, 6, 2,
// 3). A registrar from the store is shown cleaned; one a lookup has just
// produced is shown as it is. Returns whether any cell changed.
bool fillRowFromRecord(RowModel& model, int row, const DomainRecord& record, bool lookedUp);

}  // namespace dvx
