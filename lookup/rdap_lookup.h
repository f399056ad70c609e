// One RDAP domain query: bootstrap, host politeness, request, extraction.
#pragma once
#include <cstdint>
#include <string>

#include "lookup/lookup_hosts.h"
#include "lookup/page_fetcher.h"
#include "lookup/rdap_bootstrap_source.h"
#include "lookup/rdap_clock.h"
#include "lookup/rdap_politeness.h"
#include "lookup/rdap_response.h"

namespace dvx {

extern const char kRdapAccept[];  // the Accept header of every RDAP query

// The process-wide RDAP state; tests make their own with a fake clock.
struct RdapContext {
  explicit RdapContext(RdapClock& c) : clock(c), bootstrap(c), gate(c) {}
  RdapClock& clock;
  RdapBootstrapSource bootstrap;
  RdapHostGate gate;
};
RdapContext& processRdapContext();

// The facts the registry publishes for `domain`, or empty ones when no
// server covers it, its host must not be asked now (backed off, or its next
// slot is more than `maxWaitMs` away), or the answer gives nothing. Waits
// for the host's slot on `context.clock`. Never throws.
RdapFacts lookupRdap(PageFetcher& fetcher, const LookupHosts& hosts, RdapContext& context,
                     const std::string& domain, int64_t maxWaitMs);

}  // namespace dvx
