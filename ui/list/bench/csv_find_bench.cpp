// Figures for the list at half a million rows: the CSV export of every row
// and column, and the find box's worst case (no row matches, so every name
// is searched).
#include <algorithm>
#include <chrono>
#include <numeric>
#include <random>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/list/csv_export.h"
#include "ui/list/row_model.h"

namespace {

double msSince(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main() {
  const int rows = 500000;
  dvx::RowModel model;
  for (int i = 0; i < rows; ++i) {
    model.append(i + 1, (i % 7 == 0 ? "例子" : "domain-") + std::to_string(i) + (i % 3 ? ".com" : ".cn"));
    const std::string domain = model.cell(i, 1);
    const std::string owner = "所有者 " + std::to_string(i % 100);
    const dvx::RowModel::RowTexts texts = {domain,       owner,  "Admin", "2001/02/03", "2030/02/03",
                                           "Registrar, Inc.", "1234", "=5",    "0"};
    model.setTexts(i, texts);
  }
  model.renumber();

  const std::vector<int> columns = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const std::vector<std::string> titles = {"序号", "域名", "所有者", "管理员", "注册日期", "到期日期",
                                           "注册商", "百度收录", "备注", "谷歌收录", "编号"};
  auto t0 = std::chrono::steady_clock::now();
  const std::string csv = dvx::csvExport(model, columns, titles);
  std::printf("csvExport, %d rows x %zu columns: %.1f ms, %.1f MB\n", rows, columns.size(), msSince(t0),
              static_cast<double>(csv.size()) / 1e6);

  double worst = 0;
  int found = 0;
  for (int k = 0; k < 5; ++k) {
    t0 = std::chrono::steady_clock::now();
    found = model.findDomain(k % 2 ? "NOWHERE.ORG" : "域名不在", rows / 2, k % 2 == 0);
    const double ms = msSince(t0);
    if (ms > worst) worst = ms;
  }
  std::printf("findDomain, %d rows, no match (worst of 5): %.2f ms\n", rows, worst);
  t0 = std::chrono::steady_clock::now();
  const int last = model.findDomain("domain-499999", 0, true);
  std::printf("findDomain, %d rows, the last row from the first: %.2f ms (row %d)\n", rows, msSince(t0), last);

  // After a sort the display order jumps about memory.
  std::vector<int> order(rows);
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), std::mt19937(7));
  model.permute(order);
  double shuffled = 0;
  for (int k = 0; k < 5; ++k) {
    t0 = std::chrono::steady_clock::now();
    found = found == -1 ? model.findDomain(k % 2 ? "NOWHERE.ORG" : "域名不在", rows / 2, k % 2 == 0) : found;
    shuffled = std::max(shuffled, msSince(t0));
  }
  std::printf("findDomain, %d rows in shuffled order, no match (worst of 5): %.2f ms\n", rows, shuffled);
  return found == -1 && last == rows - 1 && !csv.empty() ? 0 : 1;
}
