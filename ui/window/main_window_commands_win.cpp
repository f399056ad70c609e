// The main window's commands that open dialogs or start workers: add,
// modify, export, help and the site title check.
#include <windows.h>

#include <thread>

#include "lookup/title_check.h"
#include "store/domain_rows.h"
#include "store/normalise_domain.h"
#include "text/gbk_text.h"
#include "ui/dialogs/add_domains_dialog_win.h"
#include "ui/window/import_files_win.h"
#include "ui/window/main_window_win.h"
#include "ui/dialogs/modify_domain_dialog_win.h"
#include "ui/dialogs/tool_window_win.h"
#include "ui/common/ui_thread_win.h"

namespace dvx {

namespace {

// Starts `body` on a thread of its own; a failure to start ends the task.
void startWorker(const std::shared_ptr<WorkerFlags>& flags, std::function<void()> body) {
  try {
    std::thread([flags, body] {
      try {
        body();
      } catch (...) {
        // A worker never takes the process down.
      }
      flags->running = false;
    }).detach();
  } catch (...) {
    flags->running = false;
  }
}

}  // namespace

void MainWindow::onAddClicked() {
  AddDomainsDialog dialog;
  dialog.blockedWindow = hwnd_;
  if (!dialog.run()) return;
  if (!dialog.droppedFiles().empty())
    startImport(dialog.droppedFiles(), dialog.text());
  else
    startAddJob(dialog.text());
}

void MainWindow::startAddJob(const std::string& text) {
  if (text.empty() || addJobRunning()) return;
  // "全部重查(&F)" and "重查错误项" are held back too: they would use the
  // store while the add job does. The query job that the reload starts sets
  // the four job buttons again; "重查错误项" comes back when the add ends.
  enableJobButtons(false, false, false, false);
  EnableWindow(control(kIdRequeryFailed), FALSE);
  auto flags = std::make_shared<WorkerFlags>();
  addJob_ = flags;
  auto store = store_;
  HWND hwnd = hwnd_;
  startWorker(flags, [this, flags, store, hwnd, text] {
    const int notStored = store ? store->AddDomains(text) : 0;
    // Stopped with the window: rows already appended stay.
    if (flags->abandoned) return;
    runOnUiThread(hwnd, [&] {
      if (flags->abandoned) return;
      flags->running = false;
      // Once used, the failed-items mode stays on and its button off.
      if (!failedItemsMode_) EnableWindow(control(kIdRequeryFailed), TRUE);
      // The store has said why; this says what it cost.
      if (notStored > 0 && options_.prompter)
        options_.prompter->notify(std::to_string(notStored) + " 行域名未能保存到数据库", "提示",
                                  PromptIcon::Warning);
      reloadList();
    });
  });
}

void MainWindow::startImport(std::vector<std::wstring> files, const std::string& typedText) {
  if (!hwnd_ || !store_ || (files.empty() && typedText.empty())) return;
  if (addJobRunning()) {
    // One writer of new names at a time: the counts of two would mix.
    if (options_.prompter)
      options_.prompter->notify("上一批域名还在添加中, 请等它完成后再导入", "提示", PromptIcon::Information);
    return;
  }
  // As for the add job: the reload's query job sets the buttons again.
  enableJobButtons(false, false, false, false);
  auto flags = std::make_shared<WorkerFlags>();
  addJob_ = flags;
  auto store = store_;
  HWND hwnd = hwnd_;
  startWorker(flags, [this, flags, store, hwnd, files = std::move(files), typedText] {
    const ImportBatch batch = readImportFiles(files, typedText);
    const AddOutcome outcome = store->AddNames(batch.names);
    if (flags->abandoned) return;
    const std::string summary = importSummary(outcome, batch.skippedRows, batch.unreadableFiles);
    runOnUiThread(hwnd, [&] {
      if (flags->abandoned) return;
      flags->running = false;
      // The names are in the list before the summary is read.
      reloadList();
      if (options_.prompter) options_.prompter->notify(summary, "提示", PromptIcon::Information);
    });
  });
}

void MainWindow::openModifyDialog(int id) {
  ModifyDomainDialog dialog;
  dialog.blockedWindow = hwnd_;
  dialog.initialName = store_ ? store_->FindById(id).Domain : std::string();
  dialog.launcher = options_.launcher;
  dialog.hosts = hosts_;
  if (dialog.run()) saveModifiedName(id, dialog.initialName, dialog.text());
}

void MainWindow::saveModifiedName(int id, const std::string& initialName, const std::string& typed) {
  // The comparison is on the raw text; cleaning comes after it.
  if (typed.empty() || typed == initialName) return;
  const std::string name = normaliseDomain(typed);
  if (name.empty()) return;
  if (store_) store_->Rename(id, name);
  reloadList();
  processPendingMessages();
}

void MainWindow::startTitleCheck() {
  if (titleCheckRunning()) return;
  if (!options_.prompter ||
      !options_.prompter->askYesNo("软件将获取每个网站的标题,以便您判断网站是否正常,是否继续?", "提示",
                                   PromptIcon::Question))
    return;
  EnableWindow(control(kIdTitleCheck), FALSE);
  auto flags = std::make_shared<WorkerFlags>();
  titleJob_ = flags;
  auto fetcher = options_.fetcher;
  HWND hwnd = hwnd_;
  // The records as they are shown now, each found again by its id when its
  // turn comes: a sort, a delete or a reload meanwhile moves rows, and a
  // walk over positions would then skip some sites and repeat others.
  std::vector<int32_t> ids;
  ids.reserve(static_cast<size_t>(rows_.rowCount()));
  for (int r = 0; r < rows_.rowCount(); ++r) ids.push_back(rows_.id(r));
  startWorker(flags, [this, flags, fetcher, hwnd, ids] {
    auto ui = [&](const std::function<void()>& work) {
      return !flags->abandoned && runOnUiThread(hwnd, [&] {
        if (!flags->abandoned) work();
      });
    };
    for (size_t i = 0; i < ids.size() && !flags->abandoned; ++i) {
      const int32_t id = ids[i];
      std::string domain;
      bool shown = false;
      ui([&] {
        const int row = rows_.rowOfId(id);
        if (row < 0) return;  // deleted meanwhile
        shown = true;
        domain = rows_.cell(row, 1);
        setRowText(row, 4, "获取中...");
      });
      if (!shown) continue;
      const std::string title = fetcher ? siteTitleText(*fetcher, domain) : std::string("未正确获取到!");
      ui([&] {
        // Wherever the record is now; not on a row renamed meanwhile.
        const int row = rows_.rowOfId(id);
        if (row >= 0 && rows_.cell(row, 1) == domain) setRowText(row, 4, title);
      });
    }
    ui([&] {
      flags->running = false;
      EnableWindow(control(kIdTitleCheck), TRUE);
    });
  });
}

}  // namespace dvx
