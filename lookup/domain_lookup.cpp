#include "lookup/domain_lookup.h"

#include "lookup/index_counter.h"
#include "lookup/whois_parser.h"
#include "text/date_time.h"

namespace dvx {
namespace {

// The page's "no date"; its "无记录" is the service's own answer and stays.
const char kNotFound[] = "找不到";

void fillFromRdap(PageFetcher& fetcher, const LookupHosts& hosts, DomainRecord& rec, RdapContext& rdap,
                  RdapPolicy policy, bool pageGaveRegistrar) {
  const bool needReg = rec.RegDate == kNotFound;
  const bool needExp = rec.ExpireDate == kNotFound;
  if (!hosts.rdapFallback || (!needReg && !needExp)) return;
  const RdapFacts facts = lookupRdap(fetcher, hosts, rdap, rec.Domain, policy);
  if (needReg && !facts.registration.empty()) rec.RegDate = facts.registration;
  if (needExp && !facts.expiration.empty()) rec.ExpireDate = facts.expiration;
  if (!pageGaveRegistrar && !facts.registrar.empty()) rec.Registeracom = facts.registrar;
}

}  // namespace

void lookupRecord(PageFetcher& fetcher, const LookupHosts& hosts, DomainRecord& rec, RdapContext& rdap,
                  RdapPolicy rdapPolicy) {
  std::string pageRegistrar;
  lookupWhois(fetcher, hosts, rec.Domain, rec.RegDate, rec.ExpireDate, pageRegistrar, rec.Registrant,
              rec.DomainAdmin);
  if (!pageRegistrar.empty()) rec.Registeracom = pageRegistrar;
  fillFromRdap(fetcher, hosts, rec, rdap, rdapPolicy, !pageRegistrar.empty());
  lookupIndexCounts(fetcher, hosts, rec.Domain, rec.BaiduS, rec.GoogleS, rec.AAA1);
  rec.LastUpdate = todayText();
}

void keepKnownDates(const DomainRecord& stored, DomainRecord& looked) {
  const auto known = [](const std::string& date) { return !isNoDate(parseDateTime(date)); };
  if (looked.RegDate == kNotFound && known(stored.RegDate)) looked.RegDate = stored.RegDate;
  if (looked.ExpireDate == kNotFound && known(stored.ExpireDate)) {
    looked.ExpireDate = stored.ExpireDate;
    looked.LastUpdate = stored.LastUpdate;
  }
}

void lookupRecord(PageFetcher& fetcher, const LookupHosts& hosts, DomainRecord& rec, RdapPolicy rdapPolicy) {
  lookupRecord(fetcher, hosts, rec, processRdapContext(), rdapPolicy);
}

}  // namespace dvx
