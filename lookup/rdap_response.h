// The registry facts an RDAP answer gives for one domain (RFC 9083).
#pragma once
#include <string>

#include "lookup/page_fetcher.h"

namespace dvx {

// Empty fields mean "not published" (or no usable answer at all).
struct RdapFacts {
  std::string registration;  // YYYY/MM/DD, UTC day
  std::string expiration;    // YYYY/MM/DD, UTC day
  std::string registrar;     // GBK text
  bool empty() const { return registration.empty() && expiration.empty() && registrar.empty(); }
};

// Reads a response to a domain query for `domain`. Only a 200 answer whose
// body is an RDAP domain object (not HTML, no errorCode, the name matching
// `domain`'s A-label form when the object gives one) yields anything. Dates
// come from the object's own events by eventAction: "registration", and
// "expiration" or, only without it, "registrar expiration". The registrar is the vCard fn, then
// org, of the entity whose roles hold "registrar", then the fn of an entity
// nested in it. Never throws.
RdapFacts extractRdapFacts(const HttpResponse& response, const std::string& domain);

}  // namespace dvx
