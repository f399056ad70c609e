// How often one RDAP host is asked: at most one request a second, and none
// for a while after it answered 429, both timed on the steady clock. Shared
// by every thread of the process.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "lookup/rdap_clock.h"

namespace dvx {

class RdapHostGate {
 public:
  static constexpr int64_t kSpacingMs = 1000;
  static constexpr int64_t kBackOffMs = 60 * 1000;

  explicit RdapHostGate(RdapClock& clock) : clock_(clock) {}

  // Books the next slot for `host` and returns how many milliseconds to wait
  // before sending; -1 (nothing booked) while the host is backed off or when
  // the slot is more than `maxWaitMs` away.
  int64_t reserve(const std::string& host, int64_t maxWaitMs);

  // The host answered 429: no request for 60 s, or for its Retry-After
  // (seconds or an HTTP date) when that says longer.
  void backOff(const std::string& host, const std::string& retryAfter);

 private:
  struct HostState {
    int64_t lastSlotMs = INT64_MIN / 2;
    int64_t blockedUntilMs = INT64_MIN / 2;
  };
  RdapClock& clock_;
  std::mutex mutex_;
  std::map<std::string, HostState> hosts_;
};

// Retry-After as milliseconds from `nowMs` (the calendar clock): delta
// seconds or an IMF-fixdate ("Sun, 06 Nov 1994 08:49:37 GMT"); -1 when
// absent, unreadable, out of range (a year past 9999, 31 February) or when
// `nowMs` is no real date.
int64_t retryAfterMs(const std::string& value, int64_t nowMs);

}  // namespace dvx
