// The calendar of renewals: an iCalendar file (RFC 5545) with one all-day
// event per domain on its expiry date, alarms 30 and 7 days before. UTF-8,
// CR LF, lines folded at 75 octets. Each domain's UID is stable, so a
// calendar imported again updates its events instead of adding copies.
#pragma once
#include <string>
#include <unordered_set>
#include <vector>

#include "store/domain_record.h"

namespace dvx {

// Streams the calendar: add() each record (those whose expiry date does not
// read are left out, as is a second record of the same domain), then
// finish() for the whole text.
class RenewalCalendar {
 public:
  // `stampUtc` is the DTSTAMP, "YYYYMMDDThhmmssZ".
  explicit RenewalCalendar(const std::string& stampUtc);
  void add(const DomainRecord& rec);
  std::string finish();
  size_t events() const { return events_; }

 private:
  std::string out_, stamp_;
  std::unordered_set<unsigned long long> uids_;  // domains written
  size_t events_ = 0;
};

std::string renewalCalendar(const std::vector<DomainRecord>& records, const std::string& stampUtc);

// The current time in UTC as a DTSTAMP value.
std::string utcStampNow();

}  // namespace dvx
