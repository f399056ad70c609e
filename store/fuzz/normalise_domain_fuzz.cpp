// Domain-name normalisation: whatever is typed, the result is empty or a
// host (not a scheme alone, not "www.", not starting with a dot), without
// blanks or upper-case ASCII letters.
#include "store/normalise_domain.h"
#include "text/fuzz/fuzz_support.h"
#include "text/gbk_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string name = dvx::normaliseDomain(dvx::fuzz::bytes(data, size));
  if (name.empty()) return 0;
  const size_t scheme = name.find("://");
  const std::string host = scheme == std::string::npos ? name : name.substr(scheme + 3);
  DVX_FUZZ_CHECK(!host.empty() && host != "www." && host[0] != '.');
  DVX_FUZZ_CHECK(dvx::findText(name, " ", false) == -1 && dvx::findText(name, "\xA1\xA1", false) == -1);
  DVX_FUZZ_CHECK(dvx::asciiLower(name) == name);
  return 0;
}
