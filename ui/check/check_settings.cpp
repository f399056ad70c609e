#include "ui/check/check_settings.h"

#include "remind/due_rule.h"
#include "remind/reminder.h"
#include "text/gbk_text.h"

namespace dvx {

const char kKeyCheckLimit[] = "CheckLimit";
const char kKeyReminderDays[] = "ReminderDays";
const char kKeyLastReminder[] = "LastReminder";

namespace {

int readNumber(const Settings& settings, const char* key, int fallback, int lowest, int highest) {
  const std::string text = settings.ReadSetting(key, "");
  if (text.empty()) return fallback;
  // toInteger reads a non-number as 0: only digits count as a value here.
  for (const char c : text)
    if ((c < '0' || c > '9') && c != ' ') return fallback;
  const int value = toInteger(text);
  return value < lowest || value > highest ? fallback : value;
}

}  // namespace

int readCheckLimit(const Settings& settings) {
  return readNumber(settings, kKeyCheckLimit, kDefaultCheckLimit, 1, 100000);
}

int readReminderDays(const Settings& settings) {
  return readNumber(settings, kKeyReminderDays, kDefaultReminderDays, 0, 3650);
}

}  // namespace dvx
