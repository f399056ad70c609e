// Wall-clock time for the RDAP state (host spacing, back-off, the daily
// bootstrap refresh), replaceable so tests never sleep.
#pragma once
#include <cstdint>

namespace dvx {

class RdapClock {
 public:
  virtual ~RdapClock() = default;
  // Milliseconds since 1970-01-01 UTC.
  virtual int64_t nowMs() = 0;
  virtual void sleepMs(int64_t ms) = 0;
};

// The system clock; one instance for the process.
RdapClock& systemRdapClock();

}  // namespace dvx
