#include "lookup/whois_parser.h"

#include "lookup/labelled_capture.h"
#include "text/codepage.h"
#include "text/date_time.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

const char kFullWidthColon[] = "：";
const char kNotFound[] = "找不到";
const char kNoRecord[] = "无记录";

// YYYY/MM/DD of a date that read. Cut to the day, 100-01-01 with a time of
// day would come out as the text that stands for "no date"; such a date
// keeps its time instead.
std::string datePart(const DateTime& d) {
  std::string full = formatDateTime(d);
  std::string day = full.substr(0, full.find(' '));
  DateTime dayOnly = d;
  dayOnly.hour = dayOnly.minute = dayOnly.second = 0;
  return isNoDate(dayOnly) ? full : day;
}

// The first three pieces between "-"; false when there are fewer. Empty
// pieces between adjacent separators count, the empty piece after a
// trailing separator does not. Only three are taken, so a cell of millions
// of dashes costs no more than a short one.
bool firstThreeDashPieces(const std::string& text, std::string pieces[3]) {
  std::string::size_type start = 0;
  for (int k = 0; k < 3; ++k) {
    if (start >= text.size()) return false;  // no piece, or only the trailing empty one
    const std::string::size_type dash = text.find('-', start);
    pieces[k] = text.substr(start, dash == std::string::npos ? std::string::npos : dash - start);
    if (dash == std::string::npos) return k == 2;
    start = dash + 1;
  }
  return true;
}

}  // namespace

std::string normalizeDate(const std::string& text) {
  DateTime d = parseDateTime(text);
  if (!isNoDate(d)) return datePart(d);
  if (findText(text, "月", false) == -1) return text;

  std::string u = removeAll(removeAll(text, "月"), " ");
  d = parseDateTime(u);
  // This form keeps its time of day.
  if (!isNoDate(d)) return formatDateTime(d);

  // Day first, as in 03-5月 -2016.
  std::string pieces[3];
  if (firstThreeDashPieces(u, pieces)) {
    d = parseDateTime(pieces[2] + "-" + pieces[1] + "-" + pieces[0]);
    if (!isNoDate(d)) return datePart(d);
  }
  return text;
}

void parseWhoisPage(const std::string& page, std::string& regDate, std::string& expireDate,
                    std::string& registrar, std::string& owner, std::string& contact) {
  // Each field is the leftmost match of "label.*?<td>(.*?)</td>" (or the
  // <span> and label-only forms), found in one linear pass.
  std::string created = labelledCapture(page, "创建时间", "<td>", "</td>");
  std::string registered = labelledCapture(page, "注册时间", "<td>", "</td>");
  std::string expiry = labelledCapture(page, "过期时间", "<td>", "</td>");

  // Cell contents are kept raw (a link stays markup), only the colon goes.
  std::string value = removeAll(labelledCapture(page, "注册商", "<td>", "</td>"), kFullWidthColon);
  if (!value.empty()) registrar = value;
  value = removeAll(labelledCapture(page, "域名所有者", "<span>", "</span>"), kFullWidthColon);
  if (!value.empty()) owner = value;
  value = removeAll(labelledCapture(page, "注册人", "<span>", "</span>"), kFullWidthColon);
  if (!value.empty()) contact = value;

  // Pages of some registries carry only the English labels.
  if (registered.empty() && created.empty()) {
    registered = labelledCapture(page, "Created On:", "", "</span>");
  }
  if (expiry.empty()) expiry = labelledCapture(page, "Expiration Date:", "", "</span>");

  // Trimmed before the choice: a cell of blanks only is no date, so the
  // field says "找不到" rather than nothing.
  created = trimSpaces(removeAll(created, kFullWidthColon));
  registered = trimSpaces(removeAll(registered, kFullWidthColon));
  expiry = trimSpaces(removeAll(expiry, kFullWidthColon));

  std::string reg = !registered.empty() ? registered : !created.empty() ? created : kNotFound;
  std::string exp = !expiry.empty() ? expiry : kNotFound;
  if (findText(page, "no matching record", true) != -1) {
    reg = kNoRecord;
    exp = kNoRecord;
  }
  regDate = normalizeDate(reg);
  expireDate = normalizeDate(exp);
}

void lookupWhois(PageFetcher& fetcher, const LookupHosts& hosts, const std::string& domain,
                 std::string& regDate, std::string& expireDate, std::string& registrar,
                 std::string& owner, std::string& contact) {
  try {
    // The service serves UTF-8 whatever the page declares.
    std::string page = utf8ToGbk(fetcher.fetchBytes(hosts.whoisBase + domain + "/"));
    parseWhoisPage(page, regDate, expireDate, registrar, owner, contact);
  } catch (...) {
    // Only an allocation failure gets here; the fields keep their values.
  }
}

}  // namespace dvx
