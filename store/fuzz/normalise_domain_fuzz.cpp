// Domain-name normalisation: whatever is typed, the result is empty or a
// host name (host characters only, two or more labels, none empty), without
// blanks, upper-case ASCII letters, scheme, port or path.
#include "store/fuzz/host_check.h"
#include "store/normalise_domain.h"
#include "text/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string name = dvx::normaliseDomain(dvx::fuzz::bytes(data, size));
  if (name.empty()) return 0;
  DVX_FUZZ_CHECK(dvx::fuzz::looksLikeHostName(name));
  return 0;
}
