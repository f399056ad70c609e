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

// How a lookup may use RDAP: the longest wait for a host's next slot, and
// whether the bootstrap may be downloaded (else only the one already loaded,
// the kept copy or the snapshot is used, without waiting for a download).
struct RdapPolicy {
  int64_t maxWaitMs;
  bool downloadBootstrap;
};
// A worker thread waits up to two slots; the window's own thread neither
// waits for a slot nor for a bootstrap download.
constexpr RdapPolicy kRdapOnWorker{2 * RdapHostGate::kSpacingMs, true};
constexpr RdapPolicy kRdapOnWindowThread{0, false};

// The facts the registry publishes for `domain`, or empty ones when no
// server covers it, its host must not be asked now (backed off, or its next
// slot is more than `policy.maxWaitMs` away), or the answer gives nothing.
// Waits for the host's slot on `context.clock`. Never throws.
RdapFacts lookupRdap(PageFetcher& fetcher, const LookupHosts& hosts, RdapContext& context,
                     const std::string& domain, RdapPolicy policy);

}  // namespace dvx
