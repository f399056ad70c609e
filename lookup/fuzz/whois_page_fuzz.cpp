// WHOIS page parsing. The page goes through the production path (UTF-8 to
// GBK, then the extraction), every field is what its linear capture gives,
// and a date that reads keeps its day through normalizeDate and never comes
// out as the "no date" text. (capture_regex_fuzz.cpp checks the captures
// against the regular expressions, also over this target's corpus.)
#include "lookup/labelled_capture.h"
#include "lookup/whois_parser.h"
#include "text/codepage.h"
#include "text/date_time.h"
#include "text/fuzz/fuzz_support.h"

namespace {

void checkDate(const std::string& text) {
  const dvx::DateTime d = dvx::parseDateTime(text);
  const std::string normal = dvx::normalizeDate(text);
  if (dvx::isNoDate(d)) return;
  DVX_FUZZ_CHECK(normal != "100/01/01");
  const dvx::DateTime back = dvx::parseDateTime(normal);
  DVX_FUZZ_CHECK(back.year == d.year && back.month == d.month && back.day == d.day);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string raw = dvx::fuzz::bytes(data, size);
  const std::string page = dvx::utf8ToGbk(raw);
  std::string reg, exp, registrar = "-", owner = "-", contact = "-";
  dvx::parseWhoisPage(page, reg, exp, registrar, owner, contact);
  DVX_FUZZ_CHECK(!reg.empty() && !exp.empty());
  const std::string cell = dvx::labelledCapture(page, "注册商", "<td>", "</td>");
  DVX_FUZZ_CHECK(registrar == "-" || registrar.size() <= cell.size());
  checkDate(raw);
  checkDate(dvx::labelledCapture(page, "过期时间", "<td>", "</td>"));
  return 0;
}
