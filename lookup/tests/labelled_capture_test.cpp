// The linear captures give exactly the regular expressions' leftmost match.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lookup/labelled_capture.h"
#include "lookup/tests/capture_patterns.h"
#include "lookup/tests/fake_fetcher.h"
#include "text/codepage.h"

namespace dvx {
namespace {

using testing::firstDisagreement;

TEST(LabelledCapture, AgreesWithTheRegexOnEveryFixtureAndOnBrokenPages) {
  std::vector<std::string> pages;
  for (const char* name : {"whois/full.example.html", "whois/english.example.html",
                           "whois/created-only.example.html", "whois/link-registrar.example.html",
                           "whois/norecord.example.html"}) {
    pages.push_back(utf8ToGbk(testing::fixturePage(name)));
  }
  for (const char* name : {"site/quoted-utf8.example.html", "site/twoline.example.html",
                           "site/danger.example.gbk.html", "site/utf8-nohyphen.example.html",
                           "baidu/quoted-charset.example.html", "baidu/banner.example.html"}) {
    pages.push_back(testing::fixturePage(name));
  }
  const std::string cells = "注册时间<td>a</td><td>b</td>";
  pages.insert(pages.end(), {
      // Labels and opening cells with no closing cell, in both orders.
      "注册时间<td>注册时间<td><td>", "<td>注册时间</td>", "注册时间</td><td>x",
      // Case folds on ASCII only; the label may start on any byte.
      "注册时间<TD>x</Td>", "created on:x</SPAN>", "\xD7" + cells, cells.substr(1),
      "<TITLE>t\r\n</title></title>", "<title></title>", "Expiration Date:</span>",
      // The charset capture: blanks, terminators, none at all.
      "charset=\t\"utf-8\"\n", "charset=  utf-8", "charset=utf-8", "charset=>", "CHARSET=*x",
      "charset= \x01x>", "a charset=b charset=c>", std::string("charset=\0x>", 11),
      // Tags: nested openers, an opener left open, line breaks inside.
      "a<<b>c<d", "<\r\n>x<", ">>< <>"});
  for (const std::string& page : pages) {
    EXPECT_EQ(firstDisagreement(page), nullptr) << page;
  }
  EXPECT_EQ(labelledCapture(cells + "</td>", "注册时间", "<td>", "</td>"), "a");
  EXPECT_EQ(labelledCapture("x注册时间<td>注册时间<td>v</td>", "注册时间", "<td>", "</td>"), "注册时间<td>v");
  EXPECT_EQ(labelledCapture("注册时间<td>x", "注册时间", "<td>", "</td>"), "");
  EXPECT_EQ(charsetCapture("charset= \"gbk\" >"), "\"gbk\"");
}

TEST(LabelledCapture, FoldedSearch) {
  EXPECT_EQ(findFolded("xxABCabc", "abc", 0), 2u);
  EXPECT_EQ(findFolded("xxABCabc", "abc", 3), 5u);
  EXPECT_EQ(findFolded("ab", "abc", 0), std::string::npos);
  EXPECT_EQ(findFolded("a <TD>", "<td>", 0), 2u);
  EXPECT_EQ(findFolded("a <TD>", "<td>", 3), std::string::npos);
  EXPECT_EQ(findFolded("abc", "", 3), 3u);
  EXPECT_EQ(findFolded("abc", "c", 4), std::string::npos);
  // Bytes above 0x7F compare exactly.
  EXPECT_EQ(findFolded("\xC1\xE1", "\xC1\xC1", 0), std::string::npos);
}

}  // namespace
}  // namespace dvx
