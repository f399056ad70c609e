// The bootstrap file and the check of its base addresses: any file either
// does not read or gives query addresses made of an accepted base, "domain/"
// and the name's A-label form; an accepted base never carries user
// information, a query or a fragment.
#include "lookup/idna.h"
#include "lookup/rdap_base_check.h"
#include "lookup/rdap_bootstrap.h"
#include "text/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string name = in.ConsumeRandomLengthString(64);
  const std::string url = in.ConsumeRandomLengthString(128);
  const std::string json = in.ConsumeRemainingBytesAsString();

  if (dvx::isAcceptableRdapBase(url)) {
    DVX_FUZZ_CHECK(url.find_first_of("?#") == std::string::npos);
    const size_t start = url.find("://") + 3;
    const size_t end = url.find('/', start);
    DVX_FUZZ_CHECK(url.substr(start, end == std::string::npos ? end : end - start).find('@') == std::string::npos);
  }

  dvx::RdapBootstrap bootstrap;
  if (!dvx::RdapBootstrap::parse(json, bootstrap)) return 0;
  DVX_FUZZ_CHECK(bootstrap.entryCount() > 0);
  const std::string query = bootstrap.domainUrl(name);
  if (query.empty()) return 0;
  std::string labels = dvx::toALabels(name);
  if (!labels.empty() && labels.back() == '.') labels.pop_back();
  const std::string tail = "domain/" + labels;
  DVX_FUZZ_CHECK(query.size() > tail.size() && query.compare(query.size() - tail.size(), tail.size(), tail) == 0);
  DVX_FUZZ_CHECK(dvx::isAcceptableRdapBase(query.substr(0, query.size() - tail.size())));
  return 0;
}
