// The list as a CSV file for spreadsheet programs: UTF-8 with a byte-order
// mark (so the Chinese text shows), a header row of the columns' titles,
// one line per row in the list's order, RFC 4180 quoting and CR LF line
// ends. Registrar and owner names come from web pages, so a cell starting
// with = + - @ tab or CR gets a leading apostrophe: a spreadsheet would
// otherwise run it as a formula.
#pragma once
#include <string>
#include <vector>

#include "ui/list/row_model.h"

namespace dvx {

// The file's bytes. `columns` are model columns, `titles` their GBK titles
// (one each; a missing title is empty). Empty (not even the mark) when
// memory runs out.
std::string csvExport(const RowModel& rows, const std::vector<int>& columns,
                      const std::vector<std::string>& titles);

// One cell as written: the GBK text in UTF-8, guarded and quoted as needed.
// Appended to `out`.
void appendCsvCell(std::string& out, const std::string& gbk);

}  // namespace dvx
