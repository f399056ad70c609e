// The export file: one fixed-width line per list row, in display order.
#pragma once
#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace dvx {

// Field order on a line: domain, registration date, expiry date, registrar,
// Baidu count, Google count.
constexpr int kExportFieldCount = 6;
// The main-list column each field is read from.
constexpr std::array<int, kExportFieldCount> kExportColumns = {1, 4, 5, 6, 7, 9};
// Field widths in GBK bytes.
constexpr std::array<int, kExportFieldCount> kExportWidths = {20, 12, 12, 20, 7, 7};

using ExportRow = std::array<std::string, kExportFieldCount>;

// The export fields of every row of a table (anything with rowCount() and
// cell(row, column), such as the list's rows), in display order.
template <class Table>
std::vector<ExportRow> exportRows(const Table& table) {
  std::vector<ExportRow> rows;
  const int count = table.rowCount();
  rows.reserve(static_cast<size_t>(count > 0 ? count : 0));
  for (int r = 0; r < count; ++r) {
    ExportRow row;
    for (int f = 0; f < kExportFieldCount; ++f) row[f] = table.cell(r, kExportColumns[f]);
    rows.push_back(std::move(row));
  }
  return rows;
}

// The optional boxes of the export dialog with their initial ticks; the
// domain is always exported.
struct ExportTicks {
  bool regDate = false;
  bool expireDate = true;
  bool registrar = false;
  bool baidu = false;
  bool google = false;
};

// The file's bytes: per row every ticked field padded on the right with
// spaces to its width (a field at or over its width is written whole, the
// next one follows directly), then CR LF. No header, no byte-order mark.
std::string buildExportText(const std::vector<ExportRow>& rows, const ExportTicks& ticks);

// dataDir ends in a separator.
std::filesystem::path exportFilePath(const std::filesystem::path& dataDir);

}  // namespace dvx
