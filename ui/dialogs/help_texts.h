// The fixed texts of the help-centre window: tab titles, the usage page, the
// expiry page, the management-portal links and the WHOIS server reference.
// Lines are joined with CR LF, as the window's labels and edit box show them.
#pragma once
#include <array>
#include <string>

namespace dvx {

constexpr int kHelpTabCount = 4;
extern const std::array<const char*, kHelpTabCount> kHelpTabTitles;

// Page 1: three headed sections and a grey note under them.
constexpr int kUsageSectionCount = 3;
extern const std::array<const char*, kUsageSectionCount> kUsageHeadings;
std::string usageSectionText(int section);  // 0..2; empty for others
extern const char kUsageNote[];

// Page 2: what happens to a domain after it expires.
std::string expiryKnowledgeText();

// Page 3: management portals of registrars and DNS providers.
struct ProviderLink {
  const char* provider;
  const char* url;  // also the link's visible text
};
constexpr int kProviderLinkCount = 5;
extern const std::array<ProviderLink, kProviderLinkCount> kProviderLinks;

// Page 4: how to query a WHOIS server by hand, common suffixes, the
// two-step lookup of com/net/ws, the suffix table and where to look further.
std::string whoisReferenceText();

}  // namespace dvx
