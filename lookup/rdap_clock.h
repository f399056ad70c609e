// Time for the RDAP state, replaceable so tests never sleep: a steady clock
// for host spacing and back-off, which setting the system clock cannot
// move, and the calendar for the daily bootstrap refresh and HTTP dates.
#pragma once
#include <cstdint>

namespace dvx {

class RdapClock {
 public:
  virtual ~RdapClock() = default;
  // Milliseconds since 1970-01-01 UTC, as the system clock says.
  virtual int64_t nowMs() = 0;
  // Milliseconds since an arbitrary fixed point; never goes back.
  virtual int64_t steadyMs() = 0;
  virtual void sleepMs(int64_t ms) = 0;
};

// The system's clocks; one instance for the process, never destroyed, so a
// lookup thread still running while the process ends can use it.
RdapClock& systemRdapClock();

}  // namespace dvx
