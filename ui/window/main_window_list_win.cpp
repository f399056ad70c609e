// The domain list of the main window: loading, row filling, renumbering and
// expiry colours, sorting, the command buttons, delete and re-query.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "startup/data_directory.h"
#include "text/date_time.h"
#include "text/gbk_text.h"
#include "ui/list/cell_colours_win.h"
#include "ui/list/expiry_colour.h"
#include "ui/window/main_window_win.h"
#include "ui/window/query_job_win.h"
#include "ui/window/query_rules.h"
#include "ui/list/sort_order.h"
#include "ui/common/app_messages_win.h"
#include "ui/common/ui_thread_win.h"
#include "ui/common/wide_win.h"

namespace dvx {

namespace {

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
    std::vector<int32_t> toLookUp = refillRows();
    job_ = std::make_shared<QueryJob>(this, hwnd_, store_, options_.fetcher, previous, std::move(toLookUp));
    job_->start();
    // Busy from now, not only once the new thread gets to it: a command or a
    // double-click taken in between would use the store and the list beside
    // the job. A job that could not start ends at once and leaves them be.
    if (!job_->done()) setBusy();
  });
}

std::vector<int32_t> MainWindow::refillRows() {
  ListView lv = list();
  std::vector<int32_t> toLookUp;
  lv.setRedraw(false);
  lv.clear();
  rows_.clear();
  clearCellColours(lv.hwnd(), false);
  if (store_) {
    // A record that needs no lookup is shown as the job would show it from
    // the store; the others wait for the job, which reads them again first.
    store_->ForEachRecord([&](DomainRecord& rec) {
      rows_.append(rec.id, rec.Domain);
      if (rec.id < 1) return;  // no valid id: the job skips it, its cells stay empty
      if (needsLookup(rec, failedItemsMode_))
        toLookUp.push_back(rec.id);
      else
        dvx::fillRowFromRecord(rows_, rows_.rowCount() - 1, rec, false);
    });
  }
  rowView_.showRowCount();
  lv.setRedraw(true);
  return toLookUp;
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

void MainWindow::fillRowFromRecord(int row, const DomainRecord& d, bool lookedUp) {
  if (dvx::fillRowFromRecord(rows_, row, d, lookedUp)) rowView_.redrawRow(row);
}

void MainWindow::setRowText(int row, int column, const std::string& text) {
  if (rows_.setCell(row, column, text)) rowView_.redrawRow(row);
}

void MainWindow::renumberAndColour() {
  rows_.renumber();
  const DateTime now = nowLocal();
  std::vector<CellColourMap::TextColour> colours;
  const std::vector<std::string> expiry = rows_.column(5);
  for (size_t i = 0; i < expiry.size(); ++i)
    if (const auto colour = expiryColour(expiry[i], now)) colours.push_back({static_cast<int32_t>(i), 5, *colour});
  replaceCellColours(hwnd_, list_, colours);  // repaints the list, numbers included
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
  // A check handed over while this job ran goes next.
  if (dueCheckPending_) PostMessageW(hwnd_, WM_APP_DUE_CHECK, 0, 0);
}

std::string MainWindow::sortList(int column, bool ascending, bool caseSensitive, int kind) {
  ListView lv = list();
  const SortCheck check = checkSortArguments(lv.isReport(), lv.columnCount(), column, kind);
  if (check != SortCheck::kOk) return sortResultText(check);
  const int rows = rows_.rowCount();
  const std::vector<int> order = sortOrder(rows_.column(column), ascending, caseSensitive, kind);

  // Whole rows move; the selection stays at its position, and the cell
  // colours are kept by position anyway. One call on the UI thread, so no
  // other command runs while the order is half written.
  bool identity = true;
  for (int i = 0; i < rows && identity; ++i) identity = order[static_cast<size_t>(i)] == i;
  if (identity || !rows_.permute(order)) return sortResultText(SortCheck::kOk);
  const int selected = lv.selectedRow();
  if (selected >= 0) {
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(lv.hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    lv.selectRow(selected);
  }
  rowView_.redrawAll();
  return sortResultText(SortCheck::kOk);
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
  const int row = list().selectedRow();
  const int id = row >= 0 ? rows_.id(row) : 0;
  const int number = row >= 0 ? toInteger(rows_.cell(row, 0)) : 0;
  const std::string name = rows_.cell(row, 1);
  rememberedRow_ = lessOne(number);
  if (id < 1) return;
  if (!options_.prompter ||
      !options_.prompter->askYesNo("是否删除 " + name + " ？", "询问", PromptIcon::Information))
    return;
  // A refused delete has been told by the store; the row stays, as the
  // record does.
  if (!store_ || !store_->Remove(id)) return;
  // The list shifts its selection and focus past the row as for any list.
  rows_.erase(row);
  list().deleteRow(row);
  renumberAndColour();
}

void MainWindow::requeryOne() {
  const int row = list().selectedRow();
  if (row < 0) return;
  const std::string domain = rows_.cell(row, 1);
  const int id = rows_.id(row);
  if (id <= 0) return;
  if (!options_.prompter ||
      !options_.prompter->askYesNo("是否重新查询 " + domain + " 的注册信息?", "询问", PromptIcon::Question))
    return;
  // A lookup that fails keeps the dates the row already holds.
  const DomainRecord stored = store_ ? store_->FindById(id) : DomainRecord{};
  DomainRecord rec;
  rec.id = id;
  rec.Domain = domain;
  fillRowFromRecord(row, rec, true);
  UpdateWindow(list_);  // the cleared row is drawn before the wait
  setProgressTitle(domain);
  // The page fetch runs this thread's window messages while it waits; the
  // window takes no input meanwhile, so no sort, command or close starts in
  // the middle of the lookup.
  InputOff blocked(hwnd_);
  // This thread never waits for an RDAP host's next slot or a bootstrap download.
  if (options_.fetcher) lookupRecord(*options_.fetcher, hosts_, rec, kRdapOnWindowThread);
  keepKnownDates(stored, rec);
  if (store_) store_->SaveLookup(id, rec, false);
  // The row may have gone while the pages were fetched.
  if (IsWindow(list_) && rows_.id(row) == id) fillRowFromRecord(row, rec, true);
  restoreTitle();
}

void MainWindow::requeryAll() {
  if (addJobRunning()) return;  // the add job is using the store
  if (!options_.prompter ||
      !options_.prompter->askYesNo("是否重新查询所有域名注册信息?", "询问", PromptIcon::Information))
    return;
  // When the store refused, it has said so; nothing was cleared, and a job
  // that would only be refused again is not started.
  if (store_ && !store_->ClearLookups()) return;
  reloadList();
}

void MainWindow::requeryFailed() {
  if (addJobRunning()) return;  // the add job is using the store
  EnableWindow(control(kIdRequeryFailed), FALSE);  // the failed-items mode, once on, stays on
  failedItemsMode_ = true;
  reloadList();
}

void MainWindow::onRowDoubleClick() {
  // Refused while a job uses the store and the list: the modify would
  // overlap it. The row can be double-clicked again once the job ends.
  if (jobRunning_ || addJobRunning()) return;
  const int row = list().selectedRow();
  const int id = rows_.id(row);
  rememberedRow_ = row >= 0 ? lessOne(toInteger(rows_.cell(row, 0))) : -1;
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
    case LVN_GETDISPINFOW: rowView_.answerDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(hdr)); return 0;
    case LVN_ODFINDITEMW: return rowView_.answerFindItem(*reinterpret_cast<NMLVFINDITEMW*>(hdr));
    default: break;
  }
  return DefWindowProcW(hwnd_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(hdr));
}

}  // namespace dvx
