// The canonical form of a domain name: a bare lower-case host, without
// scheme, "www." or path.
#pragma once
#include <string>

namespace dvx {

// Reduces what the user typed (a URL, a host with "www.", stray blanks) to
// the bare host, or to the empty text when it is not a single host.
std::string normaliseDomain(const std::string& text);

}  // namespace dvx
