// Writes a CSV export of rows whose cells a spreadsheet would misread:
// quotes, commas, line ends, formulas, Chinese text. read_csv_export.py
// reads it back with Python's csv module and checks every cell.
#include <cstdio>
#include <fstream>

#include "ui/list/csv_export.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.csv\n", argv[0]);
    return 2;
  }
  dvx::RowModel rows;
  rows.append(11, "例子.公司");
  rows.setCell(0, 6, "注册商, \"有限\" 公司");
  rows.setCell(0, 7, "=HYPERLINK(\"http://x\",\"y\")");
  rows.setCell(0, 8, "+86 10 1234");
  rows.append(12, "b.com");
  rows.setCell(1, 6, "line one\r\nline two");
  rows.setCell(1, 7, "-5");
  rows.setCell(1, 8, "@SUM(A1)");
  rows.append(13, "c.com");
  rows.setCell(2, 6, "\tleading tab");
  rows.setCell(2, 7, "\rleading CR");
  rows.setCell(2, 8, "plain 1=1");
  const std::vector<int> columns = {0, 1, 6, 7, 8, 10};
  const std::vector<std::string> titles = {"序号", "域名", "注册商", "所有者", "管理员", "编号"};
  const std::string csv = dvx::csvExport(rows, columns, titles);
  std::ofstream out(argv[1], std::ios::binary);
  out << csv;
  return out.good() && !csv.empty() ? 0 : 1;
}
