// The lookup of one domain record: the WHOIS page, RDAP for the dates the
// page did not give, the index counts, and the date of the lookup.
#pragma once
#include <cstdint>

#include "lookup/lookup_hosts.h"
#include "lookup/page_fetcher.h"
#include "lookup/rdap_lookup.h"
#include "store/domain_record.h"

namespace dvx {

// Fills the nine looked-up fields of `rec` for its domain: WHOIS page first,
// then, when a date came out "找不到" and hosts.rdapFallback is on, RDAP
// for that date (and for the registrar when the page gave none), then the
// Baidu count, then today's date. Fields no source gives keep the values
// passed in (registrar, owner, contact). The window's own thread passes
// kRdapOnWindowThread: it is held up by no RDAP wait and no bootstrap
// download.
void lookupRecord(PageFetcher& fetcher, const LookupHosts& hosts, DomainRecord& rec,
                  RdapPolicy rdapPolicy = kRdapOnWorker);
void lookupRecord(PageFetcher& fetcher, const LookupHosts& hosts, DomainRecord& rec, RdapContext& rdap,
                  RdapPolicy rdapPolicy);

// A failed lookup never erases a known date. Given the record as stored
// before the lookup and the looked-up one: a date that came out "找不到"
// where the stored one reads as a date gets the stored one back, and when
// that is the expiry date, so does LastUpdate (the last lookup that gave
// the expiry), so the row stays due for another try. The other fields keep
// what the lookup gave.
void keepKnownDates(const DomainRecord& stored, DomainRecord& looked);

}  // namespace dvx
