// Retry-After and the host gate it feeds: any header text and any clock
// reading give -1 or a wait that ends no later than the last day of 9999
// (or the longest honoured delay), with no overflow (UBSan stops the run on
// one), and the gate's answers stay -1 or within the caller's limit.
#include "lookup/rdap_politeness.h"
#include "text/fuzz/fuzz_support.h"

namespace {

class FixedClock : public dvx::RdapClock {
 public:
  int64_t wall = 0, steady = 0;
  int64_t nowMs() override { return wall; }
  int64_t steadyMs() override { return steady; }
  void sleepMs(int64_t) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  FixedClock clock;
  // Mostly realistic readings, sometimes any at all.
  clock.wall = in.ConsumeBool() ? in.ConsumeIntegral<int64_t>() : in.ConsumeIntegralInRange<int64_t>(0, 1LL << 45);
  clock.steady = in.ConsumeIntegralInRange<int64_t>(0, 1LL << 50);
  const int64_t maxWait = in.ConsumeIntegralInRange<int64_t>(0, 1LL << 40);
  const std::string value = in.ConsumeRemainingBytesAsString();

  const int64_t ms = dvx::retryAfterMs(value, clock.wall);
  DVX_FUZZ_CHECK(ms >= -1);
  const int64_t lastMsOf9999 = 253402300800000LL;
  if (ms > 0) DVX_FUZZ_CHECK(ms <= 999999999LL * 1000 || (clock.wall < lastMsOf9999 && ms <= lastMsOf9999 - clock.wall));

  dvx::RdapHostGate gate(clock);
  gate.backOff("https://a.test", value);
  DVX_FUZZ_CHECK(gate.reserve("https://a.test", maxWait) == -1);
  const int64_t wait = gate.reserve("https://b.test", maxWait);
  DVX_FUZZ_CHECK(wait == 0);
  const int64_t next = gate.reserve("https://b.test", maxWait);
  DVX_FUZZ_CHECK(next == -1 || (next >= 0 && next <= maxWait));
  return 0;
}
