// Rows of fields: every name that comes out is a host name, names and
// skipped rows together never outnumber the lines, and a text without
// separators or quotes gives exactly the cleaned lines, as it always did.
#include "store/add_text.h"
#include "store/domain_rows.h"
#include "store/fuzz/host_check.h"
#include "store/normalise_domain.h"
#include "text/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = dvx::fuzz::bytes(data, size);
  const dvx::DomainRows rows = dvx::readDomainRows(text);
  size_t lineEnds = 0;
  for (const char c : text) lineEnds += c == '\r' || c == '\n';
  DVX_FUZZ_CHECK(rows.names.size() + rows.skippedRows <= lineEnds + 1);
  for (const std::string& name : rows.names) DVX_FUZZ_CHECK(dvx::fuzz::looksLikeHostName(name));

  if (text.find_first_of("\t,;\"") == std::string::npos) {
    std::vector<std::string> names;
    for (const std::string& line : dvx::splitAddText(text)) {
      const std::string name = dvx::normaliseDomain(line);
      if (!name.empty()) names.push_back(name);
    }
    DVX_FUZZ_CHECK(names == rows.names);
  }
  return 0;
}
