// The reminder's settings: how many rows one check looks up at most, how
// many days ahead an expiry is reminded of, and the reminder shown last.
#pragma once
#include <string>

#include "startup/settings.h"

namespace dvx {

extern const char kKeyCheckLimit[];    // "CheckLimit"
extern const char kKeyReminderDays[];  // "ReminderDays"
extern const char kKeyLastReminder[];  // "LastReminder"

// The default for an absent key or one that is no number in range:
// 1..100000 rows, 0..3650 days.
int readCheckLimit(const Settings& settings);
int readReminderDays(const Settings& settings);

}  // namespace dvx
