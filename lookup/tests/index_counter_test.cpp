// The Baidu site: count and the fixed index fields.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "lookup/index_counter.h"
#include "lookup/tests/fake_fetcher.h"

namespace dvx {
namespace {

using testing::FakeFetcher;
using testing::fixturePage;

class SiteCount : public ::testing::Test {
 protected:
  SiteCount() { hosts.baiduHost = "search.test:8080"; }

  std::string url(const std::string& domain) { return "http://search.test:8080/s?wd=site:" + domain; }
  int32_t countFixture(const std::string& domain, const std::string& file) {
    web.serve(url(domain), fixturePage("baidu/" + file));
    return baiduSiteCount(web, hosts, domain);
  }
  int32_t countPage(const std::string& bytes) {
    web.serve(url("inline.example"), bytes);
    return baiduSiteCount(web, hosts, "inline.example");
  }

  FakeFetcher web;
  LookupHosts hosts;
};

TEST_F(SiteCount, FixturePages) {
  EXPECT_EQ(countFixture("banner.example", "banner.example.html"), 1230);
  EXPECT_EQ(web.requested().back(), "http://search.test:8080/s?wd=site:banner.example");
  EXPECT_EQ(countFixture("banner-gbk.example", "banner-gbk.example.gbk.html"), 4567);
  EXPECT_EQ(countFixture("summary.example", "summary.example.html"), 1234);
  // Markup leads the text before 个 / 个网页, which reads as 0.
  EXPECT_EQ(countFixture("neither.example", "neither.example.html"), 0);
  // charset="utf-8" is not recognised: the UTF-8 banner stays unread.
  EXPECT_EQ(countFixture("quoted-charset.example", "quoted-charset.example.html"), 0);
  // Past 2^31 the banner wraps negative and the summary is used.
  EXPECT_EQ(countFixture("huge.example", "huge.example.html"), 42);
  EXPECT_EQ(baiduSiteCount(web, hosts, "unreachable.example"), 0);
}

TEST_F(SiteCount, BannerForm) {
  EXPECT_EQ(countPage("<span>找到相关结果数约1,230个</span>"), 1230);
  EXPECT_EQ(countPage("<b>找到相关结果约 98 个</b>"), 98);
  EXPECT_EQ(countPage("<b>找到相关结果1.9个</b>"), 1);
  EXPECT_EQ(countPage("<b>找到相关结果数约１２个</b>"), 12);  // full-width digits
  // The marker needs the ">" right before it.
  EXPECT_EQ(countPage("<b>百度为您找到相关结果约5个</b>"), 0);
  // A UTF-8 page is converted only with a plain charset=utf-8.
  EXPECT_EQ(countPage(u8"<meta content=\"text/html;charset=UTF-8\"><b>找到相关结果数约2,001个</b>"), 2001);
  EXPECT_EQ(countPage(u8"<meta charset= utf-8><b>找到相关结果数约2,001个</b>"), 0);
  // Every banner count past 2^31 falls through to the summary, also one
  // whose low 32 bits read as a positive figure (5,000,000,000).
  EXPECT_EQ(countPage("<b>找到相关结果约5,000,000,000个</b>该网站共有<b>7</b>个网页"), 7);
}

TEST_F(SiteCount, SummaryForm) {
  EXPECT_EQ(countPage("<p>该网站共有 <b>1,234</b> 个网页</p>"), 1234);
  EXPECT_EQ(countPage("<p>该网站共有约<b\nclass=\"n\">3,456</b\n>个网页</p>"), 3456);
  EXPECT_EQ(countPage("<p>该网站共有 <b>2.5</b> 个网页</p>"), 2);
  // A zero banner falls through; a negative summary is returned as read.
  EXPECT_EQ(countPage("<i>找到相关结果数约0个</i><p>该网站共有<b>77</b>个网页</p>"), 77);
  EXPECT_EQ(countPage("<p>该网站共有<b>-3</b>个网页</p>"), -3);
  EXPECT_EQ(countPage(u8"<meta charset=utf-8>该网站共有 <b>9,9</b> 个网页"), 99);
}

TEST(IndexCounts, FixedFieldsAlwaysOverwritten) {
  FakeFetcher web;
  LookupHosts hosts;  // defaults: www.baidu.com
  web.serve("http://www.baidu.com/s?wd=site:a.example", "<b>找到相关结果数约1,230个</b>");
  std::string baiduS = "5", googleS = "77", aaa1 = "keyword";
  lookupIndexCounts(web, hosts, "a.example", baiduS, googleS, aaa1);
  EXPECT_EQ(baiduS, "1230");
  EXPECT_EQ(googleS, "0");
  EXPECT_EQ(aaa1, "");

  baiduS = "5";
  googleS = "77";
  aaa1 = "keyword";
  lookupIndexCounts(web, hosts, "b.example", baiduS, googleS, aaa1);
  EXPECT_EQ(baiduS, "0");
  EXPECT_EQ(googleS, "0");
  EXPECT_EQ(aaa1, "");

  web.serve("http://www.baidu.com/s?wd=site:c.example", "<p>该网站共有<b>-12</b>个网页</p>");
  lookupIndexCounts(web, hosts, "c.example", baiduS, googleS, aaa1);
  EXPECT_EQ(baiduS, "-12");
}

TEST(IndexCounts, WrapTo32Bits) {
  EXPECT_EQ(wrapToInt32(0.0), 0);
  EXPECT_EQ(wrapToInt32(1.9), 1);
  EXPECT_EQ(wrapToInt32(-1.9), -1);
  EXPECT_EQ(wrapToInt32(2147483647.9), 2147483647);
  EXPECT_EQ(wrapToInt32(2147483648.0), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(wrapToInt32(3e9), -1294967296);
  EXPECT_EQ(wrapToInt32(4294967297.0), 1);
  EXPECT_EQ(wrapToInt32(-2147483649.0), 2147483647);
  EXPECT_EQ(wrapToInt32(-4294967296.0), 0);
  EXPECT_EQ(wrapToInt32(1e20), 1661992960);
  EXPECT_EQ(wrapToInt32(std::nan("")), 0);
  EXPECT_EQ(wrapToInt32(std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(wrapToInt32(-std::numeric_limits<double>::infinity()), 0);
  // The largest doubles are multiples of 2^32.
  EXPECT_EQ(wrapToInt32(std::numeric_limits<double>::max()), 0);
}

}  // namespace
}  // namespace dvx
