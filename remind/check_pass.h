// The unattended check: one pass that looks up the rows due today and
// stores each result as the main window's query job does, then the reminder
// from what is stored. Window-free; the entry point supplies the store,
// fetcher and hosts it opened.
#pragma once
#include <atomic>

#include "lookup/lookup_hosts.h"
#include "lookup/page_fetcher.h"
#include "remind/due_rule.h"
#include "remind/reminder.h"
#include "store/domain_store.h"

namespace dvx {

struct CheckPassOptions {
  int pauseAfterLookupMs = 900;
  int checkLimit = kDefaultCheckLimit;  // 0 or less: no lookups, the reminder only
};

struct CheckPassResult {
  int dueRows = 0;
  int lookedUp = 0;
  bool storeRefused = false;
};

// Walks the store once, picks the due rows (DuePicker), looks each up with
// lookupRecord (RDAP politeness included), pauses between lookups like the
// job, and stores each result as the job does (keepKnownDates). Stops early
// when `cancel` becomes true or the store refuses a write. Never throws.
CheckPassResult runCheckPass(DomainStore& store, PageFetcher& fetcher, const LookupHosts& hosts,
                             const CheckPassOptions& options, const std::atomic<bool>& cancel,
                             long long today);

// After the pass: the reminder from a second walk of the store.
Reminder collectReminder(DomainStore& store, long long today, int reminderDays);

}  // namespace dvx
