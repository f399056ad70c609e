#include "lookup/rdap_lookup.h"

#include "text/gbk_text.h"

namespace dvx {

const char kRdapAccept[] = "application/rdap+json, application/json;q=0.9, */*;q=0.8";

namespace {

// "scheme://host[:port]" in lower case: politeness is per server.
std::string hostKey(const std::string& url) {
  const size_t scheme = url.find("://");
  const size_t start = scheme == std::string::npos ? 0 : scheme + 3;
  const size_t end = url.find('/', start);
  return asciiLower(url.substr(0, end));
}

}  // namespace

RdapContext& processRdapContext() {
  // Never destroyed: a detached lookup thread may still use it while the
  // process ends.
  static RdapContext* context = new RdapContext(systemRdapClock());
  return *context;
}

RdapFacts lookupRdap(PageFetcher& fetcher, const LookupHosts& hosts, RdapContext& context,
                     const std::string& domain, RdapPolicy policy) {
  try {
    auto bootstrap = policy.downloadBootstrap ? context.bootstrap.current(fetcher, hosts.rdapBootstrap, hosts.dataDir)
                                              : context.bootstrap.loaded(hosts.dataDir);
    const std::string url = bootstrap ? bootstrap->domainUrl(domain) : std::string();
    if (url.empty()) return RdapFacts();
    const std::string host = hostKey(url);
    const int64_t wait = context.gate.reserve(host, policy.maxWaitMs);
    if (wait < 0) return RdapFacts();
    context.clock.sleepMs(wait);
    const HttpResponse response = fetcher.fetchResponse(url, {{"Accept", kRdapAccept}}, kMaxRdapAnswerBytes);
    if (response.status == 429) context.gate.backOff(host, response.retryAfter);
    return extractRdapFacts(response, domain);
  } catch (...) {
    return RdapFacts();
  }
}

}  // namespace dvx
