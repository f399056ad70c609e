// RDAP event dates (RFC 3339 and the looser forms registries send) as the
// system's short date.
#pragma once
#include <string>

namespace dvx {

// "YYYY-MM-DD" optionally followed by "T" (or "t" or a space) and
// "hh:mm[:ss[.fraction]]" with "Z", "+hh:mm", "-hh:mm", "+hhmm", "+hh" or no
// offset (read as UTC). The result is the UTC calendar date as "YYYY/MM/DD",
// computed without the process's time zone; "" when the text is not such a
// date, a field is out of range, or the day is before 100-01-02 (the
// system's dates start in the year 100, and 100/01/01 means "no date").
std::string rdapDateToUtcDay(const std::string& text);

}  // namespace dvx
