#include "store/normalise_domain.h"

#include "text/gbk_text.h"

namespace dvx {
namespace {

// Byte index of the first `sub` (GBK stepping), or npos.
size_t find(const std::string& text, const std::string& sub) {
  const int p = findText(text, sub, false);
  return p < 0 ? std::string::npos : static_cast<size_t>(p - 1);
}

// Splits at every "/" (stepping over double-byte characters) and counts the
// pieces that are not empty.
int nonEmptyPieces(const std::string& text) {
  int count = 0;
  size_t pieceLength = 0;
  for (size_t i = 0; i < text.size();) {
    const size_t len =
        isGbkLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    if (len == 1 && text[i] == '/') {
      if (pieceLength > 0) ++count;
      pieceLength = 0;
    } else {
      pieceLength += len;
    }
    i += len;
  }
  return pieceLength > 0 ? count + 1 : count;
}

// Whether the text names a host: something after its scheme (if any) that is
// neither a bare "www." nor starts with a dot. Removing one scheme or "www."
// can form another ("hhttp://ttp://" gives "http://"), so a scheme or "www."
// alone can still come out of the steps above.
bool hasHost(const std::string& text) {
  const size_t schemeEnd = find(text, "://");
  const std::string host = schemeEnd == std::string::npos ? text : text.substr(schemeEnd + 3);
  return !host.empty() && host != "www." && host[0] != '.';
}

}  // namespace

std::string normaliseDomain(const std::string& text) {
  // Blanks anywhere, then the two web schemes anywhere.
  std::string t = removeAll(removeAll(text, " "), "\xA1\xA1");
  t = replaceAll(t, "http://", "", true);
  t = replaceAll(t, "https://", "", true);

  // Cut to the host. Any other scheme is kept in front, which later makes
  // the text fail the validity test.
  const size_t schemeEnd = find(t, "://");
  const bool hasScheme = schemeEnd != std::string::npos;
  const std::string rest = hasScheme ? t.substr(schemeEnd + 3) : t;
  if (!rest.empty()) {
    const std::string host = rest.substr(0, find(rest, "/"));
    t = hasScheme ? t.substr(0, schemeEnd) + "://" + host : host;
  }

  // "www." goes wherever it occurs, also inside a name.
  t = replaceAll(asciiLower(t), "www.", "", true);

  if (nonEmptyPieces(replaceAll(t, "http://", "*", true)) != 1) return std::string();
  if (!hasHost(t)) return std::string();
  return t;
}

}  // namespace dvx
