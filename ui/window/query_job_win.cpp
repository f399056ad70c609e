#include "ui/window/query_job_win.h"

#include <chrono>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "lookup/index_counter.h"
#include "lookup/whois_parser.h"
#include "text/date_time.h"
#include "text/gbk_text.h"
#include "ui/window/main_window_win.h"
#include "ui/window/query_rules.h"
#include "ui/common/ui_thread_win.h"

namespace dvx {

namespace {
// Stored rows are shown in batches: one synchronous message per batch costs
// little, one per cell would cost minutes on a long list.
constexpr size_t kFillBatch = 5000;
}  // namespace

void lookupRecord(PageFetcher& fetcher, const LookupHosts& hosts, DomainRecord& rec) {
  lookupWhois(fetcher, hosts, rec.Domain, rec.RegDate, rec.ExpireDate, rec.Registeracom, rec.Registrant,
              rec.DomainAdmin);
  lookupIndexCounts(fetcher, hosts, rec.Domain, rec.BaiduS, rec.GoogleS, rec.AAA1);
  rec.LastUpdate = todayText();
}

QueryJob::QueryJob(MainWindow* window, HWND hwnd, std::shared_ptr<DomainStore> store,
                   std::shared_ptr<PageFetcher> fetcher, std::shared_ptr<QueryJob> previous)
    : window_(window),
      hwnd_(hwnd),
      store_(std::move(store)),
      fetcher_(std::move(fetcher)),
      previous_(std::move(previous)) {}

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
  std::vector<int> ids;
  bool failedMode = false;
  int pauseMs = 0;
  LookupHosts hosts;
  if (!ui([&] {
        window_->setBusy();
        ListView lv = window_->list();
        const int n = lv.rowCount();
        ids.reserve(static_cast<size_t>(n));
        for (int r = 0; r < n; ++r) ids.push_back(toInteger(lv.cell(r, 10)));
        failedMode = window_->failedItemsMode();
        pauseMs = window_->pauseAfterLookupMs();
        hosts = window_->hosts();
      }))
    return;

  // One walk over the table instead of a read per row; a row that needs a
  // lookup is read again just before it, in case it changed meanwhile.
  std::unordered_map<int, DomainRecord> records;
  for (DomainRecord& rec : store_->LoadRecords()) records.emplace(rec.id, std::move(rec));

  // How many rows this pass looks up, for the taskbar button.
  int toLookUp = 0, lookedUp = 0;
  for (int id : ids) {
    auto found = id > 0 ? records.find(id) : records.end();
    if (found != records.end() ? needsLookup(found->second, failedMode) : id > 0) ++toLookUp;
  }

  std::vector<std::pair<int, DomainRecord>> pending;
  // Rows may have moved (a header sort) since they were read: each result
  // goes to the row that holds its id now, or nowhere.
  auto rowOf = [this](int row, int id) {
    ListView lv = window_->list();
    const std::string key = std::to_string(id);
    const int n = lv.rowCount();
    if (row < n && lv.cell(row, 10) == key) return row;
    for (int r = 0; r < n; ++r)
      if (lv.cell(r, 10) == key) return r;
    return -1;
  };
  auto flush = [&] {
    if (pending.empty()) return;
    ui([&] {
      ListView lv = window_->list();
      lv.setRedraw(false);
      for (const auto& p : pending) {
        const int row = rowOf(p.first, p.second.id);
        if (row >= 0) window_->fillRowFromRecord(row, p.second, false, true);
      }
      lv.setRedraw(true);
    });
    pending.clear();
  };

  for (size_t r = 0; r < ids.size(); ++r) {
    if (stopped_ || abandoned_) return;
    const int id = ids[r];
    if (id <= 0) continue;
    auto found = records.find(id);
    DomainRecord rec = found != records.end() ? std::move(found->second) : DomainRecord();
    rec.id = id;
    rec.Registeracom = removeAll(rec.Registeracom, "：");
    if (!needsLookup(rec, failedMode)) {
      pending.emplace_back(static_cast<int>(r), rec);
      if (pending.size() >= kFillBatch) flush();
      continue;
    }
    flush();
    rec = store_->FindById(id);
    rec.id = id;
    rec.Registeracom = removeAll(rec.Registeracom, "：");
    ui([&] {
      window_->setProgressTitle(rec.Domain);
      window_->showLookupProgress(lookedUp, toLookUp);
    });
    if (fetcher_) lookupRecord(*fetcher_, hosts, rec);
    if (abandoned_) return;  // the window is gone: nothing is written
    store_->SaveLookup(id, rec, true);
    ++lookedUp;
    ui([&] {
      const int row = rowOf(static_cast<int>(r), id);
      if (row >= 0) window_->fillRowFromRecord(row, rec, true);
      window_->showLookupProgress(lookedUp, toLookUp);
    });
    pause(pauseMs);
  }
  flush();
  ui([&] { window_->finishRefresh(); });
}

}  // namespace dvx
