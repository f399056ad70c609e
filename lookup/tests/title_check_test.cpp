// The title cell of the site title check, over fixed pages.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lookup/tests/fake_fetcher.h"
#include "lookup/title_check.h"

namespace dvx {
namespace {

using testing::FakeFetcher;
using testing::fixturePage;

const std::string kWarning = "(警告!检测到危险关键词! ";
const std::string kNoTitle = "未正确获取到!";

TEST(TitleCheck, SchemeIsAddedOnlyWhenMissing) {
  EXPECT_EQ(withScheme("example.com"), "http://example.com");
  EXPECT_EQ(withScheme("HTTPS://Example.com/"), "HTTPS://Example.com/");
  EXPECT_EQ(withScheme("Http://example.com"), "Http://example.com");
  EXPECT_EQ(withScheme("hTtPs://x"), "hTtPs://x");
  // Nearly a scheme is no scheme.
  EXPECT_EQ(withScheme("http:/x"), "http://http:/x");
  EXPECT_EQ(withScheme("https:x"), "http://https:x");
  EXPECT_EQ(withScheme("ftp://x.com"), "http://ftp://x.com");
  EXPECT_EQ(withScheme("http:"), "http://http:");
  EXPECT_EQ(withScheme(""), "http://");
  EXPECT_EQ(withScheme("中文.com"), "http://中文.com");
}

TEST(TitleCheck, FixtureSites) {
  FakeFetcher web;
  for (const char* name : {"danger.example.gbk.html", "minus999.example.gbk.html",
                           "quoted-utf8.example.html", "twoline.example.html",
                           "utf8-nohyphen.example.html"}) {
    std::string host = name;
    host = host.substr(0, host.find(".example") + 8);
    web.serve("http://" + host, fixturePage(std::string("site/") + name));
  }
  web.serve("HTTPS://Secure.example", fixturePage("site/quoted-utf8.example.html"));

  // Keywords hidden in a script, each named once in the fixed order.
  EXPECT_EQ(siteTitleText(web, "danger.example"), kWarning + "六合 博彩 )Home");
  // -999 in the text, not only in a title.
  EXPECT_EQ(siteTitleText(web, "minus999.example"), kWarning + "-999 )价格表");
  // UTF-8 declared in a content attribute: converted, the title keeps its
  // line break, and the keyword in the body is seen in its GBK form.
  EXPECT_EQ(siteTitleText(web, "twoline.example"), kWarning + "娱乐城 )第一行\r\n第二行");
  EXPECT_EQ(siteTitleText(web, "quoted-utf8.example"), "引号声明");
  // "utf8" without the hyphen is no declaration: the bytes are shown as they came.
  EXPECT_EQ(siteTitleText(web, "utf8-nohyphen.example"), u8"无连字符");
  // A scheme in capitals is kept as typed.
  EXPECT_EQ(siteTitleText(web, "HTTPS://Secure.example"), "引号声明");
  // Unreachable: no title, and an empty page carries no warning.
  EXPECT_EQ(siteTitleText(web, "nowhere.example"), kNoTitle);

  const std::vector<std::string> asked = web.requested();
  ASSERT_EQ(asked.size(), 7u);
  EXPECT_EQ(asked[0], "http://danger.example");
  EXPECT_EQ(asked[5], "HTTPS://Secure.example");
  EXPECT_EQ(asked[6], "http://nowhere.example");
}

TEST(TitleCheck, WarningsWithoutTitleAndEncodings) {
  FakeFetcher web;
  // All four keywords, written in reverse order, in a page with no title:
  // named in the fixed order.
  web.serve("http://all.example", "<p>博彩 六合 -999 娱乐城</p>");
  web.serve("http://empty-title.example", "<title></title><b>ok</b>");
  // The same keyword in UTF-8, with and without a charset declaration: only
  // the declared page is converted, so only there is it found.
  web.serve("http://declared.example", u8"<meta charset=utf-8><title>T</title>博彩");
  web.serve("http://undeclared.example", u8"<title>T</title>博彩");
  // Bytes of a keyword that straddle two characters are no keyword: B2 A9 B2
  // CA is 博彩, but here it sits across 牟 (C4 B2) and a following pair.
  web.serve("http://straddle.example", "<title>T</title>\xC4\xB2\xA9\xB2\xCA\xA1");
  // A plain substring: -999 inside a longer figure counts.
  web.serve("http://minus.example", "<title>T</title>-9999");

  EXPECT_EQ(siteTitleText(web, "all.example"), kWarning + "娱乐城 -999 六合 博彩 )" + kNoTitle);
  EXPECT_EQ(siteTitleText(web, "empty-title.example"), kNoTitle);
  EXPECT_EQ(siteTitleText(web, "declared.example"), kWarning + "博彩 )T");
  EXPECT_EQ(siteTitleText(web, "undeclared.example"), "T");
  EXPECT_EQ(siteTitleText(web, "straddle.example"), "T");
  EXPECT_EQ(siteTitleText(web, "minus.example"), kWarning + "-999 )T");
}

}  // namespace
}  // namespace dvx
