// The linear captures against the regular expressions they replace: on any
// text, as bytes and as the GBK the WHOIS page becomes, each gives exactly
// the regular expression's leftmost capture. scripts/fuzz.sh also replays
// the page targets' corpora through this target.
#include "lookup/tests/capture_patterns.h"
#include "text/codepage.h"
#include "text/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string raw = dvx::fuzz::bytes(data, size);
  DVX_FUZZ_CHECK(dvx::testing::firstDisagreement(raw) == nullptr);
  DVX_FUZZ_CHECK(dvx::testing::firstDisagreement(dvx::utf8ToGbk(raw)) == nullptr);
  return 0;
}
