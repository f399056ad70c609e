// Writes what the Python checks read: a calendar of awkward records, and the
// scheduled task's XML as the scheduler gets it (UTF-16 with a byte-order
// mark). Usage: dvx_remind_emit calendar|calendar-again|task OUT
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "remind/check_task_xml.h"
#include "remind/renewal_calendar.h"

namespace {

std::vector<dvx::DomainRecord> awkwardRecords() {
  auto rec = [](const std::string& domain, const std::string& expire, const std::string& registrar) {
    dvx::DomainRecord r;
    r.Domain = domain;
    r.ExpireDate = expire;
    r.Registeracom = registrar;
    return r;
  };
  return {
      rec("example.com", "2027/03/04", "Example Registrar, Inc."),
      // Three-byte characters past the fold: cuts must fall between them.
      rec("中文域名很长很长的名字中文域名很长很长的名字中文域名很长很长的名字.中国", "2027/12/31 23:59:59",
          "阿里云计算有限公司（万网）阿里云计算有限公司（万网）"),
      rec("a,b;c\\d.com", "2026-02-28", "semi;colon\\back,comma"),
      rec("x.com", "2028年2月29日", std::string(200, 'r')),
      rec("Example.COM", "2030/01/01", "a second row of the same domain: left out"),
      rec("notfound.com", "找不到", ""),
      rec("norecord.com", "无记录", ""),
      rec("", "2027/01/01", ""),
  };
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string what = argv[1];
  std::ofstream out(argv[2], std::ios::binary);
  if (what == "calendar" || what == "calendar-again") {
    // A second export at another time must give the same UIDs.
    const std::string stamp = what == "calendar" ? "20261208T090000Z" : "20261209T101010Z";
    out << dvx::renewalCalendar(awkwardRecords(), stamp);
  } else if (what == "task") {
    const std::wstring xml = dvx::checkTaskXml(L"C:\\Program Files\\A&B <x> \"q\"\\程序\\domivex.exe", L"PC\\用户");
    out << '\xFF' << '\xFE';
    for (const wchar_t c : xml) {
      const unsigned long u = static_cast<unsigned long>(c);
      if (u > 0xFFFF) return 3;  // none in this text
      out << static_cast<char>(u & 0xFF) << static_cast<char>(u >> 8);
    }
  } else {
    return 2;
  }
  return out ? 0 : 1;
}
