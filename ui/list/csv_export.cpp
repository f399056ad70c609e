#include "ui/list/csv_export.h"

#include "text/codepage.h"

namespace dvx {
namespace {

// One cell in GBK, guarded and quoted. Every byte looked at here is below
// 0x40 or is the first byte, so none is a GBK trail byte and the cell can be
// converted to UTF-8 afterwards, alone or with its whole line.
void appendGbkCell(std::string& out, const std::string& cell) {
  const bool guard = !cell.empty() && (cell[0] == '=' || cell[0] == '+' || cell[0] == '-' ||
                                       cell[0] == '@' || cell[0] == '\t' || cell[0] == '\r');
  const bool quote = cell.find_first_of("\",\r\n") != std::string::npos;
  if (quote) out.push_back('"');
  if (guard) out.push_back('\'');
  if (quote) {
    for (const char c : cell) {
      if (c == '"') out.push_back('"');
      out.push_back(c);
    }
    out.push_back('"');
  } else {
    out += cell;
  }
}

}  // namespace

void appendCsvCell(std::string& out, const std::string& gbk) {
  std::string cell;
  appendGbkCell(cell, gbk);
  out += gbkToUtf8(cell);
}

std::string csvExport(const RowModel& rows, const std::vector<int>& columns,
                      const std::vector<std::string>& titles) {
  try {
    std::string out = "\xEF\xBB\xBF";
    std::string line;
    for (size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) line.push_back(',');
      appendGbkCell(line, c < titles.size() ? titles[c] : std::string());
    }
    line += "\r\n";
    out += gbkToUtf8(line);
    out.reserve(out.size() + static_cast<size_t>(rows.rowCount()) * (line.size() + 16));
    // Each line converted whole: one conversion per row, not per cell.
    for (int r = 0; r < rows.rowCount(); ++r) {
      line.clear();
      for (size_t c = 0; c < columns.size(); ++c) {
        if (c > 0) line.push_back(',');
        appendGbkCell(line, rows.cell(r, columns[c]));
      }
      line += "\r\n";
      out += gbkToUtf8(line);
    }
    return out;
  } catch (...) {
    return std::string();  // out of memory
  }
}

}  // namespace dvx
