// The background pass over the domain list that looks up the records that
// still lack data (the list shows the complete ones from the start).
#pragma once
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "lookup/domain_lookup.h"
#include "lookup/lookup_hosts.h"
#include "lookup/page_fetcher.h"
#include "store/domain_store.h"

namespace dvx {

class MainWindow;

class QueryJob : public std::enable_shared_from_this<QueryJob> {
 public:
  // `toLookUp`: the ids of the rows the refill left for the job.
  QueryJob(MainWindow* window, HWND hwnd, std::shared_ptr<DomainStore> store,
           std::shared_ptr<PageFetcher> fetcher, std::shared_ptr<QueryJob> previous,
           std::vector<int32_t> toLookUp);

  // Before start(): instead of the given ids, the job picks the rows due on
  // `today` (most urgent first, at most `checkLimit`), looks up those still
  // due when it gets to them, and ends with the window's finishDueCheck.
  void lookUpDueRows(long long today, int checkLimit) {
    dueOnly_ = true;
    today_ = today;
    checkLimit_ = checkLimit;
  }

  // Starts the worker thread; the job keeps itself alive until it ends.
  void start();

  // A reload replaces this job: it finishes the row it is on and ends
  // without touching the list again. UI thread only.
  void stop() { stopped_ = true; wake(); }
  bool stopped() const { return stopped_; }
  // The window is going away: a lookup in progress is dropped unwritten,
  // also by a replaced job that is still finishing its row.
  void abandon();

  void waitUntilDone();
  bool done() const;

 private:
  void run();
  void runRows();
  bool ui(const std::function<void()>& work);  // false once stopped or gone
  void pause(int ms);
  void wake();

  MainWindow* window_;  // touched only inside ui() batches
  HWND hwnd_;
  std::shared_ptr<DomainStore> store_;
  std::shared_ptr<PageFetcher> fetcher_;
  std::shared_ptr<QueryJob> previous_;  // guarded by mutex_
  std::vector<int32_t> toLookUp_;
  bool dueOnly_ = false;
  long long today_ = 0;
  int checkLimit_ = 0;
  std::atomic<bool> stopped_{false}, abandoned_{false};
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  bool done_ = false;
};

}  // namespace dvx
