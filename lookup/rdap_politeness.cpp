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
  void sleepMs(int64_t ms) override {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  }
};

// Longest honoured wait, so a silly header cannot park a host for ever.
constexpr int64_t kMaxBackOffMs = 24LL * 60 * 60 * 1000;

}  // namespace

RdapClock& systemRdapClock() {
  static SystemClock clock;
  return clock;
}

int64_t RdapHostGate::reserve(const std::string& host, int64_t maxWaitMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  const int64_t now = clock_.nowMs();
  HostState& state = hosts_[host];
  if (now < state.blockedUntilMs) return -1;
  const int64_t slot = std::max(now, state.lastSlotMs + kSpacingMs);
  if (slot - now > maxWaitMs) return -1;
  state.lastSlotMs = slot;
  return slot - now;
}

void RdapHostGate::backOff(const std::string& host, const std::string& retryAfter) {
  std::lock_guard<std::mutex> lock(mutex_);
  const int64_t now = clock_.nowMs();
  const int64_t wait = std::min(std::max(kBackOffMs, retryAfterMs(retryAfter, now)), kMaxBackOffMs);
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
  char weekday[4] = {}, month[4] = {}, zone[4] = {};
  int day = 0, year = 0, hh = 0, mm = 0, ss = 0;
  if (std::sscanf(value.c_str(), "%3s, %d %3s %d %d:%d:%d %3s", weekday, &day, month, &year, &hh, &mm, &ss,
                  zone) != 8 ||
      std::strcmp(zone, "GMT") != 0) {
    return -1;
  }
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  int m = 0;
  while (m < 12 && std::strcmp(kMonths[m], month) != 0) ++m;
  if (m == 12 || day < 1 || day > 31 || year < 1970 || hh > 23 || mm > 59 || ss > 60) return -1;
  const int64_t at = ((daysFromCivil(year, static_cast<unsigned>(m + 1), static_cast<unsigned>(day)) * 24 + hh) * 60 + mm) *
                         60000LL + ss * 1000LL;
  return std::max<int64_t>(0, at - nowMs);
}

}  // namespace dvx
