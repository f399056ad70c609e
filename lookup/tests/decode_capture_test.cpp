// Page decoding and the regular-expression rules every parser relies on.
#include <locale>
#include <string>
#include <thread>
#include <vector>

#include <boost/regex.hpp>
#include <gtest/gtest.h>

#include "lookup/labelled_capture.h"
#include "lookup/page_decode.h"
#include "lookup/regex_capture.h"
#include "lookup/tests/fake_fetcher.h"

namespace dvx {
namespace {

using testing::FakeFetcher;
using testing::fixturePage;

TEST(PageDecode, BytesStopAtTheFirstNul) {
  EXPECT_EQ(bytesAsText(std::string("abc\0def", 7)), "abc");
  EXPECT_EQ(bytesAsText(std::string("\0abc", 4)), "");
  EXPECT_EQ(bytesAsText("\xD5\xD2 plain"), "\xD5\xD2 plain");
  EXPECT_EQ(bytesAsText(""), "");
}

TEST(PageDecode, ResultsPagesAreConvertedOnlyOnAPlainCharsetMatch) {
  const std::string body = u8"<p>找到</p>";
  EXPECT_EQ(resultsPageText(u8"<meta content=\"text/html;CHARSET=UTF-8\">" + body),
            "<meta content=\"text/html;CHARSET=UTF-8\"><p>找到</p>");
  // A quote or a blank after the equals sign hides the declaration.
  EXPECT_EQ(resultsPageText(u8"<meta charset=\"utf-8\">" + body), u8"<meta charset=\"utf-8\">" + body);
  EXPECT_EQ(resultsPageText(u8"<meta charset= utf-8>" + body), u8"<meta charset= utf-8>" + body);
  // GBK pages pass through, cut at a NUL.
  EXPECT_EQ(resultsPageText(std::string("<p>找到</p>\0tail", 16)), "<p>找到</p>");
}

TEST(PageDecode, SitePagesFollowTheDeclaredCharset) {
  FakeFetcher web;
  const std::string title = u8"<title>标题</title>";
  web.serve("http://quoted/", u8"<meta charset=\"utf-8\">" + title);
  web.serve("http://content/", u8"<meta content=\"text/html; charset=UTF-8\">" + title);
  web.serve("http://spaced/", u8"<meta charset=  utf-8 >" + title);
  web.serve("http://nohyphen/", u8"<meta charset=utf8>" + title);
  web.serve("http://none/", u8"<html>" + title);
  web.serve("http://gbk/", "<meta charset=gbk><title>标题</title>");
  web.serve("http://late/", u8"<meta charset=gb2312><p>charset=utf-8 here</p>" + title);

  EXPECT_EQ(fetchSiteText(web, "http://quoted/"), "<meta charset=\"utf-8\"><title>标题</title>");
  EXPECT_EQ(fetchSiteText(web, "http://content/"),
            "<meta content=\"text/html; charset=UTF-8\"><title>标题</title>");
  EXPECT_EQ(fetchSiteText(web, "http://spaced/"), "<meta charset=  utf-8 ><title>标题</title>");
  // Only the first declaration counts, and utf8 without the hyphen is GBK.
  EXPECT_EQ(fetchSiteText(web, "http://nohyphen/"), u8"<meta charset=utf8>" + title);
  EXPECT_EQ(fetchSiteText(web, "http://none/"), u8"<html>" + title);
  EXPECT_EQ(fetchSiteText(web, "http://gbk/"), "<meta charset=gbk><title>标题</title>");
  EXPECT_EQ(fetchSiteText(web, "http://late/"), u8"<meta charset=gb2312><p>charset=utf-8 here</p>" + title);
  EXPECT_EQ(fetchSiteText(web, "http://unreachable/"), "");
  EXPECT_EQ(web.requested().front(), "http://quoted/");
}

TEST(PageDecode, FixtureSitePages) {
  FakeFetcher web;
  web.serve("http://twoline.example", fixturePage("site/twoline.example.html"));
  web.serve("http://danger.example", fixturePage("site/danger.example.gbk.html"));
  web.serve("http://nul.example", std::string("<title>a</title>\0<b>lost</b>", 28));

  std::string page = fetchSiteText(web, "http://twoline.example");
  EXPECT_EQ(firstCapture(page, "<title>(.*?)</title>"), "第一行\r\n第二行");
  // A character GBK cannot hold shows as "?".
  EXPECT_NE(page.find("<body>娱乐城 ?</body>"), std::string::npos) << page;

  page = fetchSiteText(web, "http://danger.example");
  EXPECT_EQ(firstCapture(page, "<title>(.*?)</title>"), "Home");
  EXPECT_NE(page.find("博彩"), std::string::npos);

  EXPECT_EQ(fetchSiteText(web, "http://nul.example"), "<title>a</title>");
}

TEST(FirstCapture, MatchingRules) {
  // Case folding for ASCII, "." across CR LF, the capture kept raw.
  EXPECT_EQ(firstCapture("<HTML><TITLE>Line one\r\nline two</TITLE>", "<title>(.*?)</title>"),
            "Line one\r\nline two");
  // The leftmost match wins, and lazy repetition takes the shortest cell.
  EXPECT_EQ(firstCapture("<td>1</td><td>2</td>", "<td>(.*?)</td>"), "1");
  EXPECT_EQ(firstCapture("注册时间\n</td>\n\n<td> 2016-01-02 </td><td>x</td>",
                         "注册时间.*?<td>(.*?)<\\/td>"),
            " 2016-01-02 ");
  // Escaped ":" and "/" are plain characters.
  EXPECT_EQ(firstCapture("Created On:2008-07-09</span>", "Created On\\:(.*?)<\\/span>"), "2008-07-09");
  // Bracket sets with \s, as in the charset capture.
  EXPECT_EQ(firstCapture("charset=\t\"utf-8\"\n", "charset=\\s*(.*?)[>\\s*]"), "\"utf-8\"");
  EXPECT_EQ(firstCapture("abc", "x(y)"), "");
  EXPECT_EQ(firstCapture("", "(.*)"), "");
  EXPECT_EQ(firstCapture("abc", "abc"), "");  // no group 1
  EXPECT_EQ(firstCapture("abc", "(x)?abc"), "");  // group 1 did not take part
}

TEST(FirstCapture, OnlyAsciiLettersFold) {
  EXPECT_EQ(firstCapture("xAbC", "a(B)c"), "b");
  EXPECT_EQ(firstCapture("xAbC", "A(B)C"), "b");
  // C1 and E1 differ only in the bit that would fold Latin-1 letters; in GBK
  // they are different characters and must not match each other.
  EXPECT_EQ(firstCapture("\xB0\xC1=1", "\xB0\xE1=(1)"), "");
  EXPECT_EQ(firstCapture("\xB0\xC1=1", "\xB0\xC1=(1)"), "1");
  // 0xA0 and 0x85 are blanks in some code pages, never here.
  EXPECT_EQ(firstCapture("a\xA1\xA0" "b", "a\\S\\s(b)"), "");
  EXPECT_EQ(firstCapture("a\x85" "b", "a\\s(b)"), "");
}

TEST(FirstCapture, EngineErrorsGiveTheEmptyText) {
  EXPECT_EQ(firstCapture("abc", "("), "");
  EXPECT_EQ(firstCapture("abc", "[a"), "");
  EXPECT_EQ(firstCapture("abc", "a{2,1}"), "");

  // A pattern/page pair on which the engine gives up: check that it really
  // throws, so the test proves the guard rather than a fast engine.
  const std::string page(400, 'x');
  const std::string pattern = "(x+x+)+y";
  boost::basic_regex<char, boost::cpp_regex_traits<char>> raw;
  raw.imbue(std::locale::classic());
  raw.assign(pattern, boost::regex_constants::perl | boost::regex_constants::icase);
  boost::smatch m;
  EXPECT_ANY_THROW(boost::regex_search(page, m, raw));
  std::string got = "unset";
  EXPECT_NO_THROW(got = firstCapture(page, pattern));
  EXPECT_EQ(got, "");
}

TEST(StripTags, RemovesEveryTagAcrossLines) {
  EXPECT_EQ(stripTags(" <b style=\"x\">1,234</b> "), " 1,234 ");
  EXPECT_EQ(stripTags("a<b\nclass=x>1</b>\r\n<I>2</I>>"), "a1\r\n2>");
  EXPECT_EQ(stripTags("no tags <here"), "no tags <here");
  EXPECT_EQ(stripTags(""), "");
  // A text of openers has no tag: it stays whole, found in one pass (a
  // regular expression gave up on it and returned the empty text).
  std::string got = "unset";
  EXPECT_NO_THROW(got = stripTags(std::string(100000, '<')));
  EXPECT_EQ(got, std::string(100000, '<'));
}

TEST(StripTags, SharedExpressionIsSafeAcrossThreads) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      const std::string digit(1, static_cast<char>('0' + t));
      for (int i = 0; i < 1000; ++i) {
        if (stripTags("<b>" + digit + "</b><i\n>" + digit + "</i>") != digit + digit) ++failures[t];
        if (firstCapture("<td>" + digit + "</td>", "<TD>(.*?)</td>") != digit) ++failures[t];
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < 4; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
}

}  // namespace
}  // namespace dvx
