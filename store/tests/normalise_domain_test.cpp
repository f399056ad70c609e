#include "store/normalise_domain.h"

#include <gtest/gtest.h>

using dvx::normaliseDomain;

TEST(NormaliseDomain, UrlsBecomeTheBareLowerCaseHost) {
  EXPECT_EQ(normaliseDomain("WWW.Example.COM"), "example.com");
  EXPECT_EQ(normaliseDomain("  http://www.Example.com/path/page.html?q=1  "), "example.com");
  EXPECT_EQ(normaliseDomain("HTTPS://Example.com/"), "example.com");
  EXPECT_EQ(normaliseDomain("example.com"), "example.com");
  EXPECT_EQ(normaliseDomain("example.com/"), "example.com");
  // A port is dropped.
  EXPECT_EQ(normaliseDomain("Example.com:8080/x"), "example.com");
  EXPECT_EQ(normaliseDomain("http://a.cn:/"), "a.cn");
}

TEST(NormaliseDomain, BlanksAnywhereAreRemoved) {
  EXPECT_EQ(normaliseDomain("exa mple . com"), "example.com");
  EXPECT_EQ(normaliseDomain("\xA1\xA1" "exam\xA1\xA1ple.com\xA1\xA1"), "example.com");
  // Tabs and line breaks are not blanks, and no host holds them.
  EXPECT_EQ(normaliseDomain("a.com\tb"), "");
  // The A1 A1 inside "啊" + full-width space is only the real full-width space.
  EXPECT_EQ(normaliseDomain("\xB0\xA1\xA1\xA1.cn"), "\xB0\xA1.cn");
  EXPECT_EQ(normaliseDomain("中文.COM"), "中文.com");
}

TEST(NormaliseDomain, WwwGoesEverywhere) {
  EXPECT_EQ(normaliseDomain("mywww.site.com"), "mysite.com");
  EXPECT_EQ(normaliseDomain("a.www.b.com"), "a.b.com");
  EXPECT_EQ(normaliseDomain("www.www.x.com"), "x.com");
  EXPECT_EQ(normaliseDomain("wwwx.com"), "wwwx.com");
}

TEST(NormaliseDomain, NotASingleHostGivesEmpty) {
  EXPECT_EQ(normaliseDomain(""), "");
  EXPECT_EQ(normaliseDomain("   "), "");
  EXPECT_EQ(normaliseDomain("\xA1\xA1"), "");
  EXPECT_EQ(normaliseDomain("ftp://example.com/file"), "");
  EXPECT_EQ(normaliseDomain("/example.com"), "");
  EXPECT_EQ(normaliseDomain("http:///x"), "");
  EXPECT_EQ(normaliseDomain("www."), "");
  EXPECT_EQ(normaliseDomain("http://"), "");
  // A scheme alone names no host.
  EXPECT_EQ(normaliseDomain("FTP://"), "");
}

TEST(NormaliseDomain, NothingWithoutAHostComesOut) {
  // Schemes and "www." formed by removing others, or left in front of an
  // empty host; each of these was stored as a domain once.
  EXPECT_EQ(normaliseDomain("ftp://"), "");
  EXPECT_EQ(normaliseDomain("hhttp://ttp://"), "");
  EXPECT_EQ(normaliseDomain("wwww.ww."), "");
  EXPECT_EQ(normaliseDomain("WWWW.WW./path"), "");
  // No label before the first dot, also after a scheme.
  EXPECT_EQ(normaliseDomain(".com"), "");
  EXPECT_EQ(normaliseDomain("http://.example.com/"), "");
  // A leftover scheme, or a single label, is no host name.
  EXPECT_EQ(normaliseDomain("hhttp://ttp://x.com"), "");
  EXPECT_EQ(normaliseDomain("www.x."), "");
  EXPECT_EQ(normaliseDomain("a."), "");
}

TEST(NormaliseDomain, SchemesRemovedAnywhereInOnePass) {
  EXPECT_EQ(normaliseDomain("ahttp://b.com"), "ab.com");
  // Removing the inner scheme forms a new one, which names no web host.
  EXPECT_EQ(normaliseDomain("hthttp://tp://x.com"), "");
  EXPECT_EQ(normaliseDomain("HTTPS://HTTP://a.com"), "a.com");
}

TEST(NormaliseDomain, OnlyHostNamesComeOut) {
  // Text that once became a stored "domain" and reached the page lookups.
  for (const char* text : {"x@192.168.1.1?reboot=1", "a.com,c:\\windows\\system32\\calc.exe",
                           "evil.com\\\"&calc", "a.com;b.com", "exa<mple>.com", "https:/example.com",
                           "localhost", "n/a", "a..com", "--.com", "a-.com", "a.-b", "example.com.", "a.com:80x", "a.com\r\nb.com",
                           "\xA3\xE1.com" /* full-width a */, "\xA1\xA3" "b.com" /* ideographic stop */,
                           "\xB0" /* a lead byte alone */, "a\xB0.com" /* a lead byte before a dot */}) {
    EXPECT_EQ(normaliseDomain(text), "") << text;
  }
  EXPECT_EQ(normaliseDomain("例子.公司"), "例子.公司");
  EXPECT_EQ(normaliseDomain("Example.COM"), "example.com");
  EXPECT_EQ(normaliseDomain("my-site.com.cn"), "my-site.com.cn");
  EXPECT_EQ(normaliseDomain("xn--fiqs8s.xn--55qx5d"), "xn--fiqs8s.xn--55qx5d");
  EXPECT_EQ(normaliseDomain("192.168.1.1"), "192.168.1.1");
}
