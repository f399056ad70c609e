// The canonical form of a domain name: a bare lower-case host, without
// scheme, "www.", port or path.
#pragma once
#include <string>

namespace dvx {

// Reduces what the user typed (a URL, a host with "www.", a port, stray
// blanks) to the bare host, or to the empty text when it is not a host name:
// only ASCII letters, digits, "-", "." and non-ASCII letters (double-byte
// GBK characters outside the punctuation, full-width and box-drawing rows),
// and at least two labels, none of them empty or starting or ending with
// "-".
std::string normaliseDomain(const std::string& text);

}  // namespace dvx
