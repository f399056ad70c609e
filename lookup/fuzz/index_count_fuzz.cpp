// The index-count parsing of a search-results page: any page gives a count,
// a banner figure in 1..2^31-1 wins as read, and the 32-bit wrap agrees with
// integer arithmetic.
#include <cmath>

#include "lookup/index_counter.h"
#include "lookup/page_decode.h"
#include "text/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const double value = in.ConsumeFloatingPoint<double>();
  const std::string page = dvx::resultsPageText(in.ConsumeRemainingBytesAsString());

  const int32_t wrapped = dvx::wrapToInt32(value);
  if (std::isfinite(value) && std::fabs(value) < 9.2e18) {
    const auto whole = static_cast<int64_t>(value);
    DVX_FUZZ_CHECK(wrapped == static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(whole))));
  } else if (!std::isfinite(value)) {
    DVX_FUZZ_CHECK(wrapped == 0);
  }

  (void)dvx::siteCountFromPage(page);
  // The same page behind a banner with a figure that fits reads that figure.
  const int32_t figure = static_cast<int32_t>(1 + (static_cast<uint32_t>(wrapped) & 0x7FFFFFFE));
  DVX_FUZZ_CHECK(dvx::siteCountFromPage("<b>>找到相关结果约" + std::to_string(figure) + "个</b>" + page) ==
                 figure);
  return 0;
}
