#include "ui/list/expiry_colour.h"

#include <cmath>

#include "text/gbk_text.h"

namespace dvx {

long long daysPastExpiry(const std::string& expiryText, const DateTime& now) {
  // parseDateTime already gives 100-01-01 for an unreadable text.
  const double diff = toDayCount(now) - toDayCount(parseDateTime(expiryText));
  return static_cast<long long>(std::trunc(diff));
}

std::optional<uint32_t> expiryColour(const std::string& expiryText, const DateTime& now) {
  const long long d = daysPastExpiry(expiryText, now);
  if (d >= 0) return kExpiredColour;
  if (d >= -kExpiryWarningDays) return kExpiringSoonColour;
  return std::nullopt;
}

std::string cleanStoredRegistrar(const std::string& stored) {
  const std::string text = removeAll(stored, "：");
  size_t i = 0;
  // Always on a character boundary here, so A1 A1 is a full-width space.
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
    } else if (i + 1 < text.size() && static_cast<unsigned char>(text[i]) == 0xA1 &&
               static_cast<unsigned char>(text[i + 1]) == 0xA1) {
      i += 2;
    } else {
      break;
    }
  }
  return text.substr(i);
}

}  // namespace dvx
