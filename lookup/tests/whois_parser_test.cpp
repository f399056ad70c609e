// WHOIS page extraction and date normalisation.
#include <string>

#include <gtest/gtest.h>

#include "lookup/tests/fake_fetcher.h"
#include "lookup/whois_parser.h"

namespace dvx {
namespace {

using testing::FakeFetcher;
using testing::fixturePage;

struct WhoisFields {
  std::string regDate = "old reg", expireDate = "old exp";
  std::string registrar = "old registrar", owner = "old owner", contact = "old contact";
};

class WhoisLookup : public ::testing::Test {
 protected:
  WhoisLookup() { hosts.whoisBase = "http://whois.test:8080/whois/"; }

  WhoisFields lookup(const std::string& domain) {
    WhoisFields f;
    lookupWhois(web, hosts, domain, f.regDate, f.expireDate, f.registrar, f.owner, f.contact);
    return f;
  }
  void serveFixture(const std::string& domain) {
    web.serve(hosts.whoisBase + domain + "/", fixturePage("whois/" + domain + ".html"));
  }
  WhoisFields parsePage(const std::string& utf8Page) {
    web.serve("http://whois.test:8080/whois/inline.example/", utf8Page);
    return lookup("inline.example");
  }

  FakeFetcher web;
  LookupHosts hosts;
};

TEST_F(WhoisLookup, ChineseLabels) {
  serveFixture("full.example");
  WhoisFields f = lookup("full.example");
  ASSERT_EQ(web.requested().size(), 1u);
  EXPECT_EQ(web.requested()[0], "http://whois.test:8080/whois/full.example/");
  EXPECT_EQ(f.regDate, "2010/03/05");     // 注册时间 wins over 创建时间
  EXPECT_EQ(f.expireDate, "2030/03/05");  // full-width space trimmed
  EXPECT_EQ(f.registrar, "Example Registrar, Inc.");
  EXPECT_EQ(f.owner, "张三");
  EXPECT_EQ(f.contact, "李四 (admin@full.example)");
}

TEST_F(WhoisLookup, EnglishFallbacksOnlyWhenChineseLabelsMiss) {
  serveFixture("english.example");
  WhoisFields f = lookup("english.example");
  EXPECT_EQ(f.regDate, "2008/07/09");
  EXPECT_EQ(f.expireDate, "2026/07/09");
  EXPECT_EQ(f.registrar, "old registrar");
  EXPECT_EQ(f.owner, "old owner");
  EXPECT_EQ(f.contact, "old contact");

  // 创建时间 alone blocks the Created On fallback; 过期时间 blocks the other.
  serveFixture("created-only.example");
  f = lookup("created-only.example");
  EXPECT_EQ(f.regDate, "2012/03/04");
  EXPECT_EQ(f.expireDate, "2027/03/04");  // day-first 04-3月 -2027

  // An empty 注册时间 cell with no 创建时间 still lets the fallback in.
  f = parsePage(u8"<td>注册时间</td><td></td><span>Created On: 2001-02-03</span>");
  EXPECT_EQ(f.regDate, "2001/02/03");
  EXPECT_EQ(f.expireDate, "找不到");
}

TEST_F(WhoisLookup, NoMatchingRecordOverridesDates) {
  serveFixture("norecord.example");
  WhoisFields f = lookup("norecord.example");
  EXPECT_EQ(f.regDate, "无记录");
  EXPECT_EQ(f.expireDate, "无记录");
  EXPECT_EQ(f.registrar, "old registrar");
}

TEST_F(WhoisLookup, RawCellsAndMissingOwner) {
  serveFixture("link-registrar.example");
  WhoisFields f = lookup("link-registrar.example");
  EXPECT_EQ(f.registrar, "<a href=\"http://registrar.example/\" target=\"_blank\">Linked Registrar</a>");
  EXPECT_EQ(f.owner, "old owner");
  EXPECT_EQ(f.contact, "王五");
  EXPECT_EQ(f.regDate, "2016/02/29");
  EXPECT_EQ(f.expireDate, "2015/2/29");  // not a date: kept as found
}

TEST_F(WhoisLookup, UnreachablePageLeavesNotFound) {
  WhoisFields f = lookup("nowhere.example");
  EXPECT_EQ(f.regDate, "找不到");
  EXPECT_EQ(f.expireDate, "找不到");
  EXPECT_EQ(f.registrar, "old registrar");
  EXPECT_EQ(f.owner, "old owner");
  EXPECT_EQ(f.contact, "old contact");
}

TEST_F(WhoisLookup, ColonsTrimmingAndDecoding) {
  // Colons inside dates go; a tab is not trimmed and spoils the date; a
  // cell that is only a colon counts as empty; the page is read as UTF-8
  // even when it claims otherwise, and text after a NUL is ignored.
  std::string page = u8"<meta charset=gbk><td>注册时间</td><td>：2016-05-03：</td>"
                     u8"<td>过期时间</td><td>\t2020-01-01</td>"
                     u8"<td>注册商</td><td>：</td><span>域名所有者</span><span> 한 </span>";
  page += std::string(1, '\0') + u8"<td>创建时间</td><td>1999-01-01</td><span>注册人</span><span>x</span>";
  WhoisFields f = parsePage(page);
  EXPECT_EQ(f.regDate, "2016/05/03");
  EXPECT_EQ(f.expireDate, "\t2020-01-01");
  EXPECT_EQ(f.registrar, "old registrar");
  EXPECT_EQ(f.owner, " ? ");  // owner is not trimmed
  EXPECT_EQ(f.contact, "old contact");
}

TEST_F(WhoisLookup, BlankDateCellsAreNotFound) {
  // Found by fuzzing: a cell of blanks (ASCII, full-width, colons) was
  // stored as an empty date.
  WhoisFields f = parsePage(u8"<td>注册时间</td><td>　 </td><td>过期时间</td><td> ：</td>");
  EXPECT_EQ(f.regDate, "找不到");
  EXPECT_EQ(f.expireDate, "找不到");
  // A blank registration cell leaves the creation date to stand in.
  f = parsePage(u8"<td>注册时间</td><td> </td><td>创建时间</td><td> 2009-01-15</td>");
  EXPECT_EQ(f.regDate, "2009/01/15");
}

TEST(NormalizeDate, Forms) {
  EXPECT_EQ(normalizeDate("2016-05-03 12:00:00"), "2016/05/03");
  EXPECT_EQ(normalizeDate("2016年5月3日"), "2016/05/03");
  EXPECT_EQ(normalizeDate("2016年5月3日12时30分"), "2016/05/03");
  EXPECT_EQ(normalizeDate("20160503"), "2016/05/03");
  EXPECT_EQ(normalizeDate("2016/2/29"), "2016/02/29");
  EXPECT_EQ(normalizeDate("2015/2/29"), "2015/2/29");
  // Nothing may follow 日, and without the month's 月 no retry: unchanged.
  EXPECT_EQ(normalizeDate("2016年5月3日 12:30"), "2016年5月3日 12:30");
  EXPECT_EQ(normalizeDate("找不到"), "找不到");
  EXPECT_EQ(normalizeDate("无记录"), "无记录");
  EXPECT_EQ(normalizeDate(""), "");
  EXPECT_EQ(normalizeDate(" 2016-05-03"), " 2016-05-03");
  EXPECT_EQ(normalizeDate("2016-05-03T10:00:00Z"), "2016-05-03T10:00:00Z");
}

TEST(NormalizeDate, MonthMarkerRetries) {
  // Removing 月 and blanks makes it read: the time of day stays.
  EXPECT_EQ(normalizeDate("2016-5月-03 10:11:12"), "2016/05/03 10:11:12");
  EXPECT_EQ(normalizeDate("2016 -5月-03"), "2016/05/03 00:00:00");
  // Day first.
  EXPECT_EQ(normalizeDate("03-5月 -2016"), "2016/05/03");
  EXPECT_EQ(normalizeDate("29-2月-2016"), "2016/02/29");
  EXPECT_EQ(normalizeDate("29-2月-2015"), "29-2月-2015");
  // The blank goes too, so a time glues onto the year and spoils it.
  EXPECT_EQ(normalizeDate("29-2月-2016 08:00"), "29-2月-2016 08:00");
  // A trailing "-" adds no piece; an inner empty piece counts.
  EXPECT_EQ(normalizeDate("03-5月-2016-"), "2016/05/03");
  EXPECT_EQ(normalizeDate("03--5月-2016"), "03--5月-2016");
  EXPECT_EQ(normalizeDate("31-2月-2016"), "31-2月-2016");
  EXPECT_EQ(normalizeDate("5月"), "5月");
}

TEST(NormalizeDate, AReadDateNeverBecomesTheNoDateText) {
  // 100-01-01 with a time of day reads, but its day alone is the text that
  // stands for "no date": it keeps the time.
  EXPECT_EQ(normalizeDate("100/1/1 1"), "100/01/01 01:00:00");
  EXPECT_EQ(normalizeDate("100-01-01 00:00:01"), "100/01/01 00:00:01");
  EXPECT_EQ(normalizeDate("1-1月-100:1"), "100/01/01 01:00:00");  // day first
  EXPECT_EQ(normalizeDate("100/1/1"), "100/1/1");
  EXPECT_EQ(normalizeDate("100/1/2 1"), "100/01/02");
}

}  // namespace
}  // namespace dvx
