#include "remind/renewal_calendar.h"

#include <cstdio>
#include <ctime>

#include "remind/due_rule.h"
#include "text/codepage.h"
#include "text/date_time.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

// TEXT values: backslash, semicolon and comma escaped, line breaks as \n.
std::string escapedText(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size() + 8);
  for (const char c : utf8) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case ';': out += "\\;"; break;
      case ',': out += "\\,"; break;
      case '\n': out += "\\n"; break;
      case '\r': break;
      default:
        // Other control characters are not allowed in a TEXT value.
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) out += c;
    }
  }
  return out;
}

// Appends one content line, folded so that no line exceeds 75 octets
// without its CR LF, and never inside a UTF-8 sequence.
void appendLine(std::string& out, const std::string& line) {
  size_t at = 0, room = 75;
  while (line.size() - at > room) {
    size_t cut = at + room;
    while (cut > at && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out.append(line, at, cut - at);
    out += "\r\n ";
    at = cut;
    room = 74;  // the continuation's leading space counts
  }
  out.append(line, at, std::string::npos);
  out += "\r\n";
}

std::string basicDate(long long day) {
  const CivilDay c = civilOfDay(day);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04lld%02u%02u", c.year, c.month, c.day);
  return buf;
}

unsigned long long domainHash(const std::string& domain) {
  unsigned long long h = 14695981039346656037ull;
  for (const unsigned char c : asciiLower(trimSpaces(domain))) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

// SEQUENCE grows with the expiry date, so a renewal, the one change that
// matters, outranks the event a calendar imported before.
long long sequenceFor(long long expiryDay) {
  const long long s = expiryDay - daysFromCivil(2000, 1, 1);
  return s < 0 ? 0 : s;
}

}  // namespace

RenewalCalendar::RenewalCalendar(const std::string& stampUtc) : stamp_(stampUtc) {
  appendLine(out_, "BEGIN:VCALENDAR");
  appendLine(out_, "VERSION:2.0");
  appendLine(out_, "PRODID:-//Domivex//Domivex//ZH-CN");
  appendLine(out_, "CALSCALE:GREGORIAN");
  appendLine(out_, "METHOD:PUBLISH");
  appendLine(out_, "X-WR-CALNAME:" + escapedText(gbkToUtf8("Domivex 域名到期")));
}

void RenewalCalendar::add(const DomainRecord& rec) {
  const long long expiry = dayOfText(rec.ExpireDate);
  const std::string domain = trimSpaces(rec.Domain);
  if (expiry == kNoDay || domain.empty()) return;
  const unsigned long long hash = domainHash(domain);
  if (!uids_.insert(hash).second) return;
  char uid[64];
  std::snprintf(uid, sizeof uid, "%016llx-expiry@domivex", hash);
  const std::string summary = escapedText(gbkToUtf8("域名到期: " + domain));
  appendLine(out_, "BEGIN:VEVENT");
  appendLine(out_, std::string("UID:") + uid);
  appendLine(out_, "DTSTAMP:" + stamp_);
  appendLine(out_, "SEQUENCE:" + std::to_string(sequenceFor(expiry)));
  appendLine(out_, "DTSTART;VALUE=DATE:" + basicDate(expiry));
  appendLine(out_, "DTEND;VALUE=DATE:" + basicDate(expiry + 1));
  appendLine(out_, "SUMMARY:" + summary);
  if (!trimSpaces(rec.Registeracom).empty())
    appendLine(out_, "DESCRIPTION:" + escapedText(gbkToUtf8("注册商: " + trimSpaces(rec.Registeracom))));
  appendLine(out_, "TRANSP:TRANSPARENT");
  for (const char* before : {"-P30D", "-P7D"}) {
    appendLine(out_, "BEGIN:VALARM");
    appendLine(out_, "ACTION:DISPLAY");
    appendLine(out_, "DESCRIPTION:" + summary);
    appendLine(out_, std::string("TRIGGER:") + before);
    appendLine(out_, "END:VALARM");
  }
  appendLine(out_, "END:VEVENT");
  ++events_;
}

std::string RenewalCalendar::finish() {
  appendLine(out_, "END:VCALENDAR");
  return std::move(out_);
}

std::string renewalCalendar(const std::vector<DomainRecord>& records, const std::string& stampUtc) {
  RenewalCalendar cal(stampUtc);
  for (const DomainRecord& r : records) cal.add(r);
  return cal.finish();
}

std::string utcStampNow() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  if (gmtime_s(&tm, &t) != 0) return "19700101T000000Z";
#else
  if (gmtime_r(&t, &tm) == nullptr) return "19700101T000000Z";
#endif
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d%02d%02dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

}  // namespace dvx
