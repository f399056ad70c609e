// The domain list of the main window: loading, row filling, renumbering and
// expiry colours, sorting, the command buttons, delete and re-query.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "app/data_directory.h"
#include "text/date_time.h"
#include "text/gbk_text.h"
#include "ui/list/cell_colours_win.h"
#include "ui/list/expiry_colour.h"
#include "ui/window/main_window_win.h"
#include "ui/window/query_job_win.h"
#include "ui/window/query_rules.h"
#include "ui/list/sort_order.h"
#include "ui/common/ui_thread_win.h"
#include "ui/common/wide_win.h"

namespace dvx {

namespace {
constexpr int kRowIcon = 81;

// A row number less one, for the remembered row; never below the range.
int lessOne(int32_t number) { return number == INT32_MIN ? number : number - 1; }

// Keeps a window from taking input for the life of the scope and gives its
// focus back afterwards; a window that was disabled already stays so.
class InputOff {
 public:
  explicit InputOff(HWND window)
      : window_(window), focus_(GetFocus()), wasOff_(EnableWindow(window, FALSE) != FALSE) {}
  ~InputOff() {
    if (wasOff_ || !IsWindow(window_)) return;
    EnableWindow(window_, TRUE);
    if (focus_ && IsWindow(focus_)) SetFocus(focus_);
  }
  InputOff(const InputOff&) = delete;
  InputOff& operator=(const InputOff&) = delete;

 private:
  HWND window_;
  HWND focus_;
  bool wasOff_;
};
}  // namespace

void MainWindow::reloadList() {
  runOnUiThread(hwnd_, [this] {
    auto previous = job_;
    if (previous) previous->stop();
    refillRows();
    job_ = std::make_shared<QueryJob>(this, hwnd_, store_, options_.fetcher, previous);
    job_->start();
    // Busy from now, not only once the new thread gets to it: a command or a
    // double-click taken in between would use the store and the list beside
    // the job. A job that could not start ends at once and leaves them be.
    if (!job_->done()) setBusy();
  });
}

void MainWindow::refillRows() {
  ListView lv = list();
  lv.setRedraw(false);
  lv.clear();
  nextSlot_ = 0;  // no item is left, so the slots start again (sortList sizes its table by them)
  clearCellColours(lv.hwnd(), false);
  if (store_) {
    const auto rows = store_->LoadAll();
    SendMessageW(lv.hwnd(), LVM_SETITEMCOUNT, rows.size(), 0);  // room for every row at once
    for (const auto& row : rows) {
      const int r = lv.appendRow(std::to_string(lv.rowCount() + 1), kRowIcon, nextSlot_++);
      lv.setCell(r, 1, row.second);
      lv.setCell(r, 10, std::to_string(row.first));
    }
  }
  lv.setRedraw(true);
}

void MainWindow::enableJobButtons(bool add, bool del, bool one, bool all) {
  EnableWindow(control(kIdAdd), add);
  EnableWindow(control(kIdDelete), del);
  EnableWindow(control(kIdRequeryOne), one);
  EnableWindow(control(kIdRequeryAll), all);
}

void MainWindow::setBusy() {
  jobRunning_ = true;
  enableJobButtons(false, false, false, false);
}

void MainWindow::updateCommandStates() {
  if (addJobRunning()) return;  // its reload's query job sets them when it ends
  const bool selected = list().selectedRow() >= 0;
  enableJobButtons(true, selected, selected, true);
}

void MainWindow::fillRowFromRecord(int row, const DomainRecord& d, bool lookedUp, bool freshRow) {
  ListView lv = list();
  auto put = [&](int column, const std::string& text) {
    if (!freshRow || !text.empty() || column == 4) lv.setCell(row, column, text);
  };
  put(4, d.RegDate);
  put(5, d.ExpireDate);
  put(7, d.BaiduS);
  put(8, d.AAA1);
  put(9, d.GoogleS);
  put(6, lookedUp ? d.Registeracom : cleanStoredRegistrar(d.Registeracom));
  put(2, d.Registrant);
  put(3, d.DomainAdmin);
}

void MainWindow::renumberAndColour() {
  ListView lv = list();
  clearCellColours(lv.hwnd(), false);
  const DateTime now = nowLocal();
  const int n = lv.rowCount();
  lv.setRedraw(false);
  for (int i = 0; i < n; ++i) {
    lv.setCell(i, 0, std::to_string(i + 1));
    if (const auto colour = expiryColour(lv.cell(i, 5), now))
      setCellColour(hwnd_, lv.hwnd(), i, 5, *colour, std::nullopt, false);
  }
  lv.setRedraw(true);
}

void MainWindow::setProgressTitle(const std::string& domain) {
  setWindowText(hwnd_, "正在查询 " + domain + " 请稍等,如果显示找不到,可过会打开软件重试...");
}

void MainWindow::restoreTitle() { setWindowText(hwnd_, productTitle()); }

void MainWindow::finishRefresh() {
  ListView lv = list();
  const int row = rowToReselect(rememberedRow_, lv.rowCount());
  if (row >= 0) lv.selectRow(row);
  rememberedRow_ = -1;
  const bool byExpiry = SendMessageW(control(kIdSortCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (lv.rowCount() > 0 && byExpiry) sortList(5, true, false, kSortDateTime);
  renumberAndColour();
  restoreTitle();
  taskbar_.clear();
  jobRunning_ = false;
  updateCommandStates();
  ++refreshCount_;
}

std::string MainWindow::sortList(int column, bool ascending, bool caseSensitive, int kind) {
  ListView lv = list();
  const int columns = lv.columnCount();
  const SortCheck check = checkSortArguments(lv.isReport(), columns, column, kind);
  if (check != SortCheck::kOk) return sortResultText(check);
  const int rows = lv.rowCount();
  std::vector<std::string> keys;
  keys.reserve(static_cast<size_t>(rows));
  for (int r = 0; r < rows; ++r) keys.push_back(lv.cell(r, column));
  const std::vector<int> order = sortOrder(keys, ascending, caseSensitive, kind);

  // Every row shows the same icon, so moving whole items is the same as
  // moving their texts; the selection is put back at its position and the
  // cell colours are kept by position anyway. The list orders its items
  // itself by the rank each row gets, in one call on the UI thread, so no
  // other command can run while the order is half written.
  bool identity = true;
  for (int i = 0; i < rows && identity; ++i) identity = order[static_cast<size_t>(i)] == i;
  if (identity) return sortResultText(SortCheck::kOk);
  const int selected = lv.selectedRow();
  // Each item carries the slot number it got when it was appended; reading
  // it is cheap, whereas changing an item's data notifies the parent.
  std::vector<int> rankOfSlot(static_cast<size_t>(nextSlot_), 0);
  for (int i = 0; i < rows; ++i) {
    const LPARAM slot = lv.itemData(order[static_cast<size_t>(i)]);
    if (slot >= 0 && slot < nextSlot_) rankOfSlot[static_cast<size_t>(slot)] = i;
  }
  lv.setRedraw(false);
  SendMessageW(lv.hwnd(), LVM_SORTITEMS, reinterpret_cast<WPARAM>(&rankOfSlot),
               reinterpret_cast<LPARAM>(&MainWindow::compareRanks));
  if (selected >= 0) {
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(lv.hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    lv.selectRow(selected);
  }
  lv.setRedraw(true);
  return sortResultText(SortCheck::kOk);
}

int CALLBACK MainWindow::compareRanks(LPARAM a, LPARAM b, LPARAM ranks) {
  const auto& rank = *reinterpret_cast<const std::vector<int>*>(ranks);
  const auto slots = static_cast<LPARAM>(rank.size());
  const int ra = a >= 0 && a < slots ? rank[static_cast<size_t>(a)] : 0;
  const int rb = b >= 0 && b < slots ? rank[static_cast<size_t>(b)] : 0;
  return ra < rb ? -1 : ra > rb ? 1 : 0;
}

void MainWindow::onHeaderClick(int column) {
  if (column < 0) return;
  const auto kind = headerSortKind(column);
  if (!kind) return;  // not sortable: the direction does not flip either
  sortAscending_ = !sortAscending_;
  sortList(column, sortAscending_, false, *kind);
  if (renumberAfterHeaderSort(column)) renumberAndColour();
}

void MainWindow::deleteSelected() {
  ListView lv = list();
  const int row = lv.selectedRow();
  const int id = row >= 0 ? toInteger(lv.cell(row, 10)) : 0;
  const int number = row >= 0 ? toInteger(lv.cell(row, 0)) : 0;
  const std::string name = row >= 0 ? lv.cell(row, 1) : std::string();
  rememberedRow_ = lessOne(number);
  if (id < 1) return;
  if (!options_.prompter ||
      !options_.prompter->askYesNo("是否删除 " + name + " ？", "询问", PromptIcon::Information))
    return;
  if (store_) store_->Remove(id);
  lv.deleteRow(row);
  renumberAndColour();
}

void MainWindow::requeryOne() {
  ListView lv = list();
  const int row = lv.selectedRow();
  if (row < 0) return;
  const std::string domain = lv.cell(row, 1);
  const int id = toInteger(lv.cell(row, 10));
  if (id <= 0) return;
  if (!options_.prompter ||
      !options_.prompter->askYesNo("是否重新查询 " + domain + " 的注册信息?", "询问", PromptIcon::Question))
    return;
  DomainRecord rec;
  rec.id = id;
  rec.Domain = domain;
  fillRowFromRecord(row, rec, true);
  UpdateWindow(lv.hwnd());  // the cleared row is drawn before the wait
  setProgressTitle(domain);
  // The page fetch may run this thread's window messages while it waits
  // (XMLHTTP on this apartment does); the window takes no input meanwhile,
  // so no sort, command or close starts in the middle of the lookup.
  InputOff blocked(hwnd_);
  if (options_.fetcher) lookupRecord(*options_.fetcher, hosts_, rec);
  if (store_) store_->SaveLookup(id, rec, false);
  // The row may have gone while the pages were fetched.
  if (IsWindow(lv.hwnd()) && row < lv.rowCount() && lv.cell(row, 10) == std::to_string(id))
    fillRowFromRecord(row, rec, true);
  restoreTitle();
}

void MainWindow::requeryAll() {
  if (addJobRunning()) return;  // the add job is using the store
  if (!options_.prompter ||
      !options_.prompter->askYesNo("是否重新查询所有域名注册信息?", "询问", PromptIcon::Information))
    return;
  if (store_) store_->ClearLookups();
  reloadList();
}

void MainWindow::requeryFailed() {
  EnableWindow(control(kIdRequeryFailed), FALSE);  // the failed-items mode, once on, stays on
  failedItemsMode_ = true;
  reloadList();
}

void MainWindow::onRowDoubleClick() {
  // Refused while a job uses the store and the list: the modify would
  // overlap it. The row can be double-clicked again once the job ends.
  if (jobRunning_ || addJobRunning()) return;
  ListView lv = list();
  const int row = lv.selectedRow();
  const int id = row >= 0 ? toInteger(lv.cell(row, 10)) : 0;
  rememberedRow_ = row >= 0 ? lessOne(toInteger(lv.cell(row, 0))) : -1;
  if (id <= 0) return;
  openModifyDialog(id);
}

LRESULT MainWindow::onNotify(NMHDR* hdr) {
  if (!hdr || hdr->idFrom != static_cast<UINT_PTR>(kIdList)) return DefWindowProcW(hwnd_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(hdr));
  switch (hdr->code) {
    case LVN_COLUMNCLICK:
      onHeaderClick(reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem);
      return 0;
    case LVN_ITEMCHANGED: {
      auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
      if ((nm->uChanged & LVIF_STATE) && ((nm->uNewState ^ nm->uOldState) & LVIS_SELECTED) && !jobRunning_)
        updateCommandStates();
      return 0;
    }
    case NM_DBLCLK: onRowDoubleClick(); return 0;
    default: break;
  }
  return DefWindowProcW(hwnd_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(hdr));
}

}  // namespace dvx
