#include "lookup/rdap_politeness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "text/date_time.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

class SystemClock : public RdapClock {
 public:
  int64_t nowMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }
  int64_t steadyMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  void sleepMs(int64_t ms) override {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
};

// Longest honoured wait, so a silly header cannot park a host for ever.
constexpr int64_t kMaxBackOffMs = 24LL * 60 * 60 * 1000;

}  // namespace

RdapClock& systemRdapClock() {
  static SystemClock* clock = new SystemClock;
  return *clock;
}

int64_t RdapHostGate::reserve(const std::string& host, int64_t maxWaitMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  const int64_t now = clock_.steadyMs();
  HostState& state = hosts_[host];
  if (now < state.blockedUntilMs) return -1;
  const int64_t slot = std::max(now, state.lastSlotMs + kSpacingMs);
  if (slot - now > maxWaitMs) return -1;
  state.lastSlotMs = slot;
  return slot - now;
}

void RdapHostGate::backOff(const std::string& host, const std::string& retryAfter) {
  std::lock_guard<std::mutex> lock(mutex_);
  // An HTTP date is read against the calendar; the wait runs on the steady
  // clock.
  const int64_t wait = std::min(std::max(kBackOffMs, retryAfterMs(retryAfter, clock_.nowMs())), kMaxBackOffMs);
  const int64_t now = clock_.steadyMs();
  HostState& state = hosts_[host];
  state.blockedUntilMs = std::max(state.blockedUntilMs, now + wait);
}

int64_t retryAfterMs(const std::string& raw, int64_t nowMs) {
  const std::string value = trimSpaces(raw);
  if (value.empty()) return -1;
  if (value.find_first_not_of("0123456789") == std::string::npos) {
    if (value.size() > 9) return kMaxBackOffMs;
    return std::stoll(value) * 1000;
  }
  // IMF-fixdate, every number read to its field's width so none can
  // overflow; a year past 9999 does not read.
  char weekday[4] = {}, month[4] = {}, zone[4] = {};
  int day = 0, year = 0, hh = 0, mm = 0, ss = 0;
  if (std::sscanf(value.c_str(), "%3[A-Za-z], %2d %3[A-Za-z] %4d %2d:%2d:%2d %3[A-Z]", weekday, &day, month, &year,
                  &hh, &mm, &ss, zone) != 8 ||
      std::strcmp(zone, "GMT") != 0) {
    return -1;
  }
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  int m = 0;
  while (m < 12 && std::strcmp(kMonths[m], month) != 0) ++m;
  if (m == 12 || year < 1970 || year > 9999 || day < 1 || day > daysInMonth(year, m + 1) || hh < 0 || hh > 23 ||
      mm < 0 || mm > 59 || ss < 0 || ss > 60) {
    return -1;
  }
  const int64_t at =
      ((daysFromCivil(year, static_cast<unsigned>(m + 1), static_cast<unsigned>(day)) * 24 + hh) * 60 + mm) *
          60000LL +
      ss * 1000LL;
  // Both sides are within a few hundred thousand years of 1970 in
  // milliseconds, far from overflow; a clock that says otherwise gets no
  // date-based wait.
  if (nowMs < -(1LL << 53) || nowMs > (1LL << 53)) return -1;
  return std::max<int64_t>(0, at - nowMs);
}

}  // namespace dvx
