#include "store/normalise_domain.h"

#include <gtest/gtest.h>

using dvx::normaliseDomain;

TEST(NormaliseDomain, UrlsBecomeTheBareLowerCaseHost) {
  EXPECT_EQ(normaliseDomain("WWW.Example.COM"), "example.com");
  EXPECT_EQ(normaliseDomain("  http://www.Example.com/path/page.html?q=1  "), "example.com");
  EXPECT_EQ(normaliseDomain("HTTPS://Example.com/"), "example.com");
  EXPECT_EQ(normaliseDomain("example.com"), "example.com");
  EXPECT_EQ(normaliseDomain("example.com/"), "example.com");
  EXPECT_EQ(normaliseDomain("example.com:8080/x"), "example.com:8080");
}

TEST(NormaliseDomain, BlanksAnywhereAreRemoved) {
  EXPECT_EQ(normaliseDomain("exa mple . com"), "example.com");
  EXPECT_EQ(normaliseDomain("\xA1\xA1" "exam\xA1\xA1ple.com\xA1\xA1"), "example.com");
  // Tabs and line breaks are not blanks.
  EXPECT_EQ(normaliseDomain("a.com\tb"), "a.com\tb");
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
  // A host stays, with or without a leftover scheme.
  EXPECT_EQ(normaliseDomain("hhttp://ttp://x.com"), "http://x.com");
  EXPECT_EQ(normaliseDomain("www.x."), "x.");
  EXPECT_EQ(normaliseDomain("a."), "a.");
}

TEST(NormaliseDomain, SchemesRemovedAnywhereInOnePass) {
  EXPECT_EQ(normaliseDomain("ahttp://b.com"), "ab.com");
  // Removing the inner scheme forms a new one; the validity test reads it
  // as "*" so the text is kept.
  EXPECT_EQ(normaliseDomain("hthttp://tp://x.com"), "http://x.com");
  EXPECT_EQ(normaliseDomain("HTTPS://HTTP://a.com"), "a.com");
}
