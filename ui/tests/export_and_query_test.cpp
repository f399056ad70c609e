#include <gtest/gtest.h>

#include "ui/export_lines.h"
#include "ui/query_rules.h"

namespace dvx {
namespace {

ExportRow row(const std::string& domain, const std::string& exp, const std::string& registrar = "") {
  return ExportRow{domain, "2010/01/01", exp, registrar, "12", "0"};
}

TEST(ExportLines, InitialTicks) {
  EXPECT_EQ(buildExportText({row("a.com", "2025/01/01")}, ExportTicks{}),
            "a.com" + std::string(15, ' ') + "2025/01/01" + "  \r\n");
  // 20 bytes or more: the next field follows directly.
  EXPECT_EQ(buildExportText({row("abcdefghijklmnop.com", "2025/01/01"),
                             row("abcdefghijklmnopq.com", "找不到")},
                            ExportTicks{}),
            "abcdefghijklmnop.com2025/01/01  \r\nabcdefghijklmnopq.com找不到      \r\n");
}

TEST(ExportLines, WidthsCountGbkBytes) {
  ExportTicks ticks;
  ticks.expireDate = false;
  ticks.registrar = true;
  const std::string registrar = "阿里云计";
  ASSERT_EQ(registrar.size(), 8u);
  EXPECT_EQ(buildExportText({row("中文.com", "x", registrar)}, ticks),
            "中文.com" + std::string(12, ' ') + registrar + std::string(12, ' ') + "\r\n");
}

TEST(ExportLines, AllFieldsAndNone) {
  ExportTicks none{false, false, false, false, false};
  EXPECT_EQ(buildExportText({row("a.com", "2025/01/01"), row("b.com", "")}, none),
            "a.com" + std::string(15, ' ') + "\r\nb.com" + std::string(15, ' ') + "\r\n");
  ExportTicks all{true, true, true, true, true};
  EXPECT_EQ(buildExportText({ExportRow{"d", "r", "e", "g", "1234567", "12345678"}}, all),
            "d" + std::string(19, ' ') + "r" + std::string(11, ' ') + "e" + std::string(11, ' ') +
                "g" + std::string(19, ' ') + "1234567" + "12345678" + "\r\n");
  EXPECT_EQ(buildExportText({}, all), "");
  EXPECT_EQ(exportFilePath("C:\\data\\"), "C:\\data\\Domivex_导出.txt");
}

DomainRecord complete() {
  DomainRecord r;
  r.id = 1;
  r.Domain = "a.com";
  r.RegDate = "2010/01/01";
  r.ExpireDate = "2030/01/01";
  r.BaiduS = "0";
  r.LastUpdate = "2024/05/10";
  r.Registeracom = "GoDaddy";
  return r;
}

TEST(QueryRules, NeedsLookup) {
  EXPECT_FALSE(needsLookup(complete(), false));
  EXPECT_FALSE(needsLookup(complete(), true));
  for (auto field : {&DomainRecord::RegDate, &DomainRecord::ExpireDate, &DomainRecord::BaiduS,
                     &DomainRecord::LastUpdate, &DomainRecord::Registeracom}) {
    DomainRecord r = complete();
    r.*field = "";
    EXPECT_TRUE(needsLookup(r, false));
  }
  DomainRecord colons = complete();
  colons.Registeracom = "：：";
  EXPECT_TRUE(needsLookup(colons, false));
  colons.Registeracom = " ";  // a blank registrar counts as present
  EXPECT_FALSE(needsLookup(colons, false));

  DomainRecord failed = complete();
  failed.ExpireDate = "找不到";
  EXPECT_FALSE(needsLookup(failed, false));
  EXPECT_TRUE(needsLookup(failed, true));
  failed = complete();
  failed.RegDate = "找不到";
  EXPECT_TRUE(needsLookup(failed, true));
  failed.RegDate = "无记录";
  EXPECT_FALSE(needsLookup(failed, true));
  // Unused columns do not matter.
  DomainRecord sparse = complete();
  sparse.GoogleS = sparse.AAA1 = sparse.Registrant = sparse.DomainAdmin = "";
  EXPECT_FALSE(needsLookup(sparse, false));
}

TEST(QueryRules, RememberedRow) {
  EXPECT_EQ(rowToReselect(3, 10), 3);
  EXPECT_EQ(rowToReselect(9, 10), 9);
  EXPECT_EQ(rowToReselect(10, 10), 9);  // the last row was deleted
  EXPECT_EQ(rowToReselect(0, 10), -1);  // row 0 is never re-selected
  EXPECT_EQ(rowToReselect(-1, 10), -1);
  EXPECT_EQ(rowToReselect(1, 1), 0);
  EXPECT_EQ(rowToReselect(1, 0), -1);
  EXPECT_EQ(rowToReselect(7, 3), -1);  // beyond even the row before it
}

}  // namespace
}  // namespace dvx
