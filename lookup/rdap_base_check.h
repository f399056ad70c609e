// Whether a base address from a bootstrap file may be asked at all.
#pragma once
#include <string>

namespace dvx {

// False for an http(s) address that carries user information ("user@"), a
// query string or fragment, or a host written as a literal IP address in a
// private, loopback, link-local or unspecified range (IPv4 in any of the
// forms resolvers accept, such as "127.1" or "0x7f000001"; IPv6 including
// IPv4-mapped), and for a host that cannot be read. A downloaded file that
// names such an address could otherwise send queries, and the names in them,
// into the user's own network.
bool isAcceptableRdapBase(const std::string& url);

}  // namespace dvx
