#include "remind/check_pass.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "lookup/domain_lookup.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

// The job's pause between lookups, ended early by a cancel.
void pause(int ms, const std::atomic<bool>& cancel) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!cancel) {
    const auto left = end - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(50)));
  }
}

}  // namespace

CheckPassResult runCheckPass(DomainStore& store, PageFetcher& fetcher, const LookupHosts& hosts,
                             const CheckPassOptions& options, const std::atomic<bool>& cancel,
                             long long today) {
  CheckPassResult result;
  try {
    DuePicker picker(today);
    store.ForEachRecord([&](DomainRecord& rec) { picker.consider(rec); });
    result.dueRows = static_cast<int>(picker.dueCount());
    const size_t limit = options.checkLimit > 0 ? static_cast<size_t>(options.checkLimit) : 0;
    const std::vector<int32_t> ids = picker.mostUrgent(limit);
    for (size_t i = 0; i < ids.size() && !cancel; ++i) {
      // Read again just before the lookup: the window may have stored it
      // since the walk.
      DomainRecord rec = store.FindById(ids[i]);
      if (rec.id != ids[i]) continue;  // deleted meanwhile
      rec.Registeracom = removeAll(rec.Registeracom, "：");
      if (!isDue(rec, today)) continue;
      const DomainRecord stored = rec;
      lookupRecord(fetcher, hosts, rec);
      keepKnownDates(stored, rec);
      if (!store.SaveLookup(rec.id, rec, true)) {
        result.storeRefused = true;
        break;
      }
      ++result.lookedUp;
      if (i + 1 < ids.size()) pause(options.pauseAfterLookupMs, cancel);
    }
  } catch (...) {
    // Out of memory at worst: what was stored stays stored.
  }
  return result;
}

Reminder collectReminder(DomainStore& store, long long today, int reminderDays) {
  try {
    ReminderCollector collector(today, reminderDays);
    store.ForEachRecord([&](DomainRecord& rec) { collector.consider(rec); });
    return collector.build();
  } catch (...) {
    return Reminder();
  }
}

}  // namespace dvx
