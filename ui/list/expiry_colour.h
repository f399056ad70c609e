// The expiry-date colouring of the domain list and the cleaning of a stored
// registrar for display.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "text/date_time.h"

namespace dvx {

// Windows colour values (0x00BBGGRR).
constexpr uint32_t kExpiredColour = 0x0000FF;       // red
constexpr uint32_t kExpiringSoonColour = 0xFF0000;  // blue
constexpr int kExpiryWarningDays = 30;

// Whole days from the expiry date to now, the fraction truncated toward zero
// (positive once the date has passed). A text that is no date counts as
// 1 January of the year 100.
long long daysPastExpiry(const std::string& expiryText, const DateTime& now);

// Red when the date has been reached (0 days or more, so tomorrow's date is
// red already), blue when it is 1 to 30 whole days away, otherwise nothing:
// the cell keeps the list's own colour.
std::optional<uint32_t> expiryColour(const std::string& expiryText, const DateTime& now);

// A registrar read from the store as the list shows it: every full-width
// colon removed, then the ASCII and full-width spaces in front; trailing
// spaces stay.
std::string cleanStoredRegistrar(const std::string& stored);

}  // namespace dvx
