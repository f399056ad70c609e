// Reading names from pasted text and imported files: registrar exports,
// spreadsheet pastes, each encoding a spreadsheet program saves, and the
// counts an import reports.
#include "store/domain_rows.h"

#include <gtest/gtest.h>

#include "store/import_decode.h"
#include "store_fixture.h"

using dvx::decodeImportBytes;
using dvx::readDomainRows;
using dvx::TextEncoding;
using Names = std::vector<std::string>;

TEST(DomainRows, RegistrarExportWithAHeaderAndQuotedFields) {
  // The domain in the third column; owners hold commas, quotes and line
  // ends; an owner that cleans to a host ("Shop.com Ltd") is not the domain.
  const std::string csv =
      "Registrant,Status,\"Domain Name\",Expiry\r\n"
      "\"Zhang, Wei\",ok,Example.COM,2025-01-01\r\n"
      "\"Li\r\nNa, \"\"Ltd\"\"\",ok,例子.公司,2026-02-02\r\n"
      "Shop.com Ltd,ok,https://www.b.net/,2027-03-03\r\n"
      "\"No domain, here\",ok,,2028-04-04\r\n"
      "Owner,ok,n/a,c.org\r\n"
      "\r\n"
      "plain.cn\r\n";
  const dvx::DomainRows rows = readDomainRows(csv);
  EXPECT_EQ(rows.names, (Names{"example.com", "例子.公司", "b.net", "c.org", "plain.cn"}));
  EXPECT_EQ(rows.skippedRows, 1u);  // the header and the blank line are not counted

  // The same table with semicolons and a Chinese header, LF line ends.
  const dvx::DomainRows semi = readDomainRows("名称;域名;到期\n\"甲;乙\";a.com;2025\n丙;B.COM:443;2026\n");
  EXPECT_EQ(semi.names, (Names{"a.com", "b.com"}));
  EXPECT_EQ(semi.skippedRows, 0u);
}

TEST(DomainRows, SpreadsheetPasteAndPlainLines) {
  // Cells copied from a spreadsheet: tabs, no header, a comma inside a cell
  // (the tab is the separator), the domain not always first.
  const dvx::DomainRows paste = readDomainRows(
      "example.com\t2025/01/01\tRegistrar, Inc.\r\n"
      "\tsecond.cn\t2026/01/01\r\n"
      "\t\t\r\n"
      "注册商\t无\t\r\n");
  EXPECT_EQ(paste.names, (Names{"example.com", "second.cn"}));
  EXPECT_EQ(paste.skippedRows, 1u);  // the row of empty cells is blank, not skipped

  // Lines without separators are names as always, whatever their line ends;
  // a row of fields among them is read as one.
  const dvx::DomainRows lines = readDomainRows("a.com\nlocalhost\rWWW.B.com\r\nc.com, owner\n");
  EXPECT_EQ(lines.names, (Names{"a.com", "b.com", "c.com"}));
  EXPECT_EQ(lines.skippedRows, 1u);
  // A one-column table: its header is no skipped row, but only on top.
  const dvx::DomainRows column = readDomainRows("\"Domain Name\"\nDomain\na.com\n");
  EXPECT_EQ(column.names, Names{"a.com"});
  EXPECT_EQ(column.skippedRows, 1u);

  // A quote never closed is an ordinary character: the rest of the text is
  // still read, line by line.
  const dvx::DomainRows unclosed = readDomainRows("\"a.com,x\r\nb.com,y\r\nc.com\r\n");
  EXPECT_EQ(unclosed.names, (Names{"b.com", "c.com"}));
  EXPECT_EQ(unclosed.skippedRows, 1u);
}

TEST(DomainRows, EveryEncodingASpreadsheetSaves) {
  // "域名,到期" then "例子.公司,2025" in each encoding.
  const std::string utf8 = u8"域名,到期\r\n例子.公司,2025\r\n";
  const std::u16string utf16 = u"域名,到期\r\n例子.公司,2025\r\n";
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (const char16_t c : utf16) {
    le += static_cast<char>(c & 0xFF);
    le += static_cast<char>(c >> 8);
    be += static_cast<char>(c >> 8);
    be += static_cast<char>(c & 0xFF);
  }
  const struct {
    std::string bytes;
    TextEncoding encoding;
  } files[] = {{utf8, TextEncoding::Utf8},
               {"\xEF\xBB\xBF" + utf8, TextEncoding::Utf8Bom},
               {le, TextEncoding::Utf16Le},
               {be, TextEncoding::Utf16Be},
               {"域名,到期\r\n例子.公司,2025\r\n", TextEncoding::Gbk}};
  for (const auto& file : files) {
    TextEncoding detected = TextEncoding::Utf8;
    const std::string text = decodeImportBytes(file.bytes, &detected);
    EXPECT_EQ(detected, file.encoding) << static_cast<int>(file.encoding);
    EXPECT_EQ(text, "域名,到期\r\n例子.公司,2025\r\n") << static_cast<int>(file.encoding);
    EXPECT_EQ(readDomainRows(text).names, Names{"例子.公司"});
  }
  // A character outside the BMP (a surrogate pair) becomes one "?", a lone
  // surrogate too; ASCII alone is UTF-8.
  EXPECT_EQ(decodeImportBytes(std::string("\xFF\xFE\x3D\xD8\x00\xDE" "a\0\x00\xDC", 10)), "?a?");
  TextEncoding detected = TextEncoding::Gbk;
  EXPECT_EQ(decodeImportBytes("a.com", &detected), "a.com");
  EXPECT_EQ(detected, TextEncoding::Utf8);
}

class ImportCounts : public dvx_test::StoreTest {};

TEST_F(ImportCounts, AddedExistingAndSkippedAsTheUserIsTold) {
  const auto file = path("domains.mdb");
  dvx::DomainStore::CreateIfMissing(file);
  dvx::DomainStore store(nullptr);
  store.OpenStore(file);
  ASSERT_EQ(store.AddDomains("old.com"), 0);
  // old.com is there already; new.com comes twice in two spellings.
  const dvx::DomainRows rows =
      readDomainRows("Domain,Owner\r\nOLD.com,x\r\nnew.com,y\r\nwww.NEW.com,z\r\nn/a,w\r\n" +
                     std::string(197, 'l') + ".com,long\r\n");
  const dvx::AddOutcome outcome = store.AddNames(rows.names);
  EXPECT_EQ(outcome.added, 1u);
  EXPECT_EQ(outcome.existing, 2u);
  EXPECT_EQ(outcome.failed, 1u);  // longer than the column: never cut
  EXPECT_EQ(rows.skippedRows, 1u);
  EXPECT_EQ(dvx::importSummary(outcome, rows.skippedRows, {"D:\\导出.csv"}),
            "导入完成: 新增 1 个, 已存在 2 个, 跳过 1 行\r\n"
            "1 个域名未能保存到数据库\r\n"
            "无法读取文件: D:\\导出.csv");
  EXPECT_EQ(store.LoadAll().size(), 2u);

  // A short batch on a longer table: each name looked up in the table.
  ASSERT_EQ(store.AddDomains("c.com\r\nd.com\r\ne.com"), 0);
  const dvx::AddOutcome few = store.AddNames({"OLD.com", "y.com", "Y.com"});
  EXPECT_EQ(few.added, 1u);
  EXPECT_EQ(few.existing, 2u);
  EXPECT_EQ(store.LoadAll().back().second, "y.com");

  // A store that cannot be reached counts every name as not stored.
  store.Close();
  const dvx::AddOutcome closed = store.AddNames({"a.com", "b.com"});
  EXPECT_EQ(closed.failed, 2u);
  EXPECT_EQ(closed.added + closed.existing, 0u);
}
