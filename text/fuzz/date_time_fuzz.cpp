// The date reader and writer: a date that reads is in range, and its written
// form reads back to the same value.
#include "text/date_time.h"
#include "text/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace dvx;
  const DateTime d = parseDateTime(fuzz::bytes(data, size));
  if (isNoDate(d)) return 0;
  DVX_FUZZ_CHECK(d.year >= 100 && d.year <= 9999 && d.month >= 1 && d.month <= 12);
  DVX_FUZZ_CHECK(d.day >= 1 && d.day <= 31 && d.hour <= 23 && d.minute <= 59 && d.second <= 59);
  const std::string written = formatDateTime(d);
  DVX_FUZZ_CHECK(parseDateTime(written) == d);
  DVX_FUZZ_CHECK(formatDateTime(parseDateTime(written)) == written);
  return 0;
}
