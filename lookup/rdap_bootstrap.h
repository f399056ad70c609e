// Which RDAP server answers for a domain name: the IANA DNS bootstrap file
// (RFC 9224), and the copy of it that ships with the program.
#pragma once
#include <string>
#include <unordered_map>

namespace dvx {

class RdapBootstrap {
 public:
  // Reads a bootstrap file: {"services": [[[entries], [base URLs]], ...]}.
  // Base addresses that fail isAcceptableRdapBase are passed over, so
  // entries with no other base send nothing. False (and `out` untouched)
  // when the text is not one or names no usable service. Never throws.
  static bool parse(const std::string& json, RdapBootstrap& out);

  // The domain query URL for `name` (GBK text; "" when no service covers
  // it): the name in A-labels, lower-cased, without a trailing dot, matched label by label from the
  // right against the longest entry, on that entry's https base (http only
  // when it has no https one), with "domain/" + name appended.
  std::string domainUrl(const std::string& name) const;

  const std::string& publication() const { return publication_; }
  size_t entryCount() const { return bases_.size(); }

 private:
  std::unordered_map<std::string, std::string> bases_;  // entry -> base ending in "/"
  size_t maxLabels_ = 0;
  std::string publication_;
};

// The snapshot compiled into the program (see lookup/data/).
const std::string& shippedBootstrapJson();

}  // namespace dvx
