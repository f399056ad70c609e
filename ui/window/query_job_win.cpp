#include "ui/window/query_job_win.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "lookup/domain_lookup.h"
#include "remind/due_rule.h"
#include "text/gbk_text.h"
#include "ui/window/main_window_win.h"
#include "ui/window/query_rules.h"
#include "ui/common/ui_thread_win.h"

namespace dvx {


QueryJob::QueryJob(MainWindow* window, HWND hwnd, std::shared_ptr<DomainStore> store,
                   std::shared_ptr<PageFetcher> fetcher, std::shared_ptr<QueryJob> previous,
                   std::vector<int32_t> toLookUp)
    : window_(window),
      hwnd_(hwnd),
      store_(std::move(store)),
      fetcher_(std::move(fetcher)),
      previous_(std::move(previous)),
      toLookUp_(std::move(toLookUp)) {}

void QueryJob::start() {
  auto self = shared_from_this();
  try {
    std::thread([self] { self->run(); }).detach();
  } catch (...) {
    std::lock_guard<std::mutex> lock(mutex_);
    done_ = true;
    cv_.notify_all();
  }
}

void QueryJob::waitUntilDone() {
  std::unique_lock<std::mutex> lock(mutex_);
  cv_.wait(lock, [this] { return done_; });
}

bool QueryJob::done() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return done_;
}

void QueryJob::wake() {
  std::lock_guard<std::mutex> lock(mutex_);
  cv_.notify_all();
}

void QueryJob::abandon() {
  abandoned_ = true;
  std::shared_ptr<QueryJob> previous;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    previous = previous_;
    cv_.notify_all();
  }
  if (previous) previous->abandon();
}

void QueryJob::pause(int ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopped_ || abandoned_; });
}

bool QueryJob::ui(const std::function<void()>& work) {
  if (stopped_ || abandoned_) return false;
  bool ran = false;
  // The stop flag is set on the UI thread, so checking it there again means
  // a replaced job never touches the new list.
  runOnUiThread(hwnd_, [&] {
    if (stopped_ || abandoned_) return;
    work();
    ran = true;
  });
  return ran;
}

void QueryJob::run() {
  try {
    // Two jobs never work side by side: the replaced one ends first.
    std::shared_ptr<QueryJob> previous;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      previous = previous_;
    }
    if (previous) previous->waitUntilDone();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      previous_.reset();
    }
    previous.reset();
    runRows();
  } catch (...) {
    // A worker never takes the process down.
  }
  std::lock_guard<std::mutex> lock(mutex_);
  done_ = true;
  cv_.notify_all();
}

void QueryJob::runRows() {
  std::vector<int32_t> ids = std::move(toLookUp_);
  if (dueOnly_) {
    DuePicker picker(today_);
    store_->ForEachRecord([&](DomainRecord& rec) { picker.consider(rec); });
    ids = picker.mostUrgent(checkLimit_ > 0 ? static_cast<size_t>(checkLimit_) : 0);
  }
  bool failedMode = false;
  int pauseMs = 0;
  LookupHosts hosts;
  if (!ui([&] {
        window_->setBusy();
        // In display order: a header click may have moved rows since the refill.
        std::vector<std::pair<int, int32_t>> shown;
        shown.reserve(ids.size());
        for (const int32_t id : ids) shown.emplace_back(window_->rows().rowOfId(id), id);
        std::sort(shown.begin(), shown.end());
        for (size_t i = 0; i < shown.size(); ++i) ids[i] = shown[i].second;
        failedMode = window_->failedItemsMode();
        pauseMs = window_->pauseAfterLookupMs();
        hosts = window_->hosts();
      }))
    return;

  // Rows looked up of rows to look up, for the taskbar button. A row that
  // turns out complete on its second read counts as done.
  const int toLookUp = static_cast<int>(ids.size());
  int lookedUp = 0;

  // Each result goes to the row that holds its record now (a sort may have
  // moved it), or nowhere when the row has gone.
  auto show = [this](const DomainRecord& rec, bool lookedUp) {
    ui([&] {
      const int row = window_->rows().rowOfId(rec.id);
      if (row >= 0) window_->fillRowFromRecord(row, rec, lookedUp);
    });
  };
  for (const int32_t id : ids) {
    if (stopped_ || abandoned_) return;
    // Read again just before the lookup: a job this one replaced may have
    // stored it meanwhile.
    DomainRecord rec = store_->FindById(id);
    if (rec.id != id) continue;  // deleted meanwhile
    rec.Registeracom = removeAll(rec.Registeracom, "：");
    if (dueOnly_ ? !isDue(rec, today_) : !needsLookup(rec, failedMode)) {
      ++lookedUp;
      show(rec, false);
      continue;
    }
    ui([&] {
      window_->setProgressTitle(rec.Domain);
      window_->showLookupProgress(lookedUp, toLookUp);
    });
    const DomainRecord stored = rec;
    if (fetcher_) lookupRecord(*fetcher_, hosts, rec);
    keepKnownDates(stored, rec);
    if (abandoned_) return;  // the window is gone: nothing is written
    // A refused write has been told once; the job ends rather than have it
    // told again for every row.
    if (!store_->SaveLookup(id, rec, true)) break;
    ++lookedUp;
    show(rec, true);
    ui([&] { window_->showLookupProgress(lookedUp, toLookUp); });
    pause(pauseMs);
  }
  ui([&] {
    // Before the refresh's end, which would start a pending check again.
    if (dueOnly_) window_->finishDueCheck();
    window_->finishRefresh();
  });
}

}  // namespace dvx
