// The RDAP extraction: any body (with a status and a content type from the
// input) gives dates that are empty or a day the date reader reads back (and
// never the "no date" text), and a registrar without a GBK pair cut short.
#include "lookup/rdap_response.h"
#include "text/date_time.h"
#include "text/fuzz/fuzz_support.h"

namespace {

void checkDate(const std::string& date) {
  if (date.empty()) return;
  const dvx::DateTime d = dvx::parseDateTime(date);
  DVX_FUZZ_CHECK(!dvx::isNoDate(d));
  DVX_FUZZ_CHECK(dvx::formatDateTime(d).compare(0, date.size() + 1, date + " ") == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  dvx::HttpResponse response;
  response.status = in.ConsumeBool() ? 200 : in.ConsumeIntegralInRange<int>(0, 599);
  response.contentType = in.ConsumeBool() ? "application/rdap+json" : in.ConsumeRandomLengthString(32);
  const std::string domain = in.ConsumeBool() ? "example.com" : in.ConsumeRandomLengthString(32);
  response.body = in.ConsumeRemainingBytesAsString();
  const dvx::RdapFacts facts = dvx::extractRdapFacts(response, domain);
  checkDate(facts.registration);
  checkDate(facts.expiration);
  const std::string& r = facts.registrar;
  for (size_t i = 0; i < r.size(); i += dvx::fuzz::charLen(r, i)) {
    const auto c = static_cast<unsigned char>(r[i]);
    if (c >= 0x81 && c <= 0xFE) DVX_FUZZ_CHECK(i + 1 < r.size());
  }
  return 0;
}
