#include "text/codepage.h"

#include <gtest/gtest.h>

#include <string>

using namespace dvx;

namespace {
const std::string kReplacementUtf8 = "\xEF\xBF\xBD";
}

TEST(Codepage, GbkAndUtf8RoundTrip) {
  // "找不到" as GBK (the build's narrow literal) and as UTF-8.
  const std::string gbk = "找不到";
  ASSERT_EQ(gbk, "\xD5\xD2\xB2\xBB\xB5\xBD");
  const std::string utf8 = "\xE6\x89\xBE\xE4\xB8\x8D\xE5\x88\xB0";
  EXPECT_EQ(gbkToUtf8(gbk), utf8);
  EXPECT_EQ(utf8ToGbk(utf8), gbk);
  EXPECT_EQ(utf8TextToGbk(utf8), gbk);
  EXPECT_EQ(gbkToUtf8("abc\r\n"), "abc\r\n");
  EXPECT_EQ(gbkToUtf8(""), "");

  // Every byte pair the table maps comes back unchanged.
  std::string all;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string u = gbkToUtf8(pair);
      if (u != kReplacementUtf8) all += pair;
    }
  }
  EXPECT_GT(all.size(), 2u * 21000);  // GBK holds over 21,000 characters
  EXPECT_EQ(utf8TextToGbk(gbkToUtf8(all)), all);
}

TEST(Codepage, MalformedGbk) {
  // A lead byte at the very end, and a lead byte before an ASCII byte.
  EXPECT_EQ(gbkToUtf8("a\xB0"), "a" + kReplacementUtf8);
  EXPECT_EQ(gbkToUtf8("\xB0" "1"), kReplacementUtf8 + "1");
  EXPECT_EQ(gbkToUtf8("\xA1\x7F" "x"), kReplacementUtf8 + "\x7F" "x");
  // A lead byte before a trail byte is one pair: one character, or one
  // replacement character where the code page has nothing.
  EXPECT_EQ(gbkToUtf8("\xA2\xA1x"), "\xE2\x85\xB0x");  // small roman numeral one
#ifndef _WIN32
  // iconv leaves the user-defined area unmapped (Windows maps it to private use).
  EXPECT_EQ(gbkToUtf8("\xA1\x40x"), kReplacementUtf8 + "x");
#endif
}

TEST(Codepage, MalformedUtf8AndUnmappable) {
  EXPECT_EQ(utf8ToGbk("a\x80" "b"), "a?b");
  EXPECT_EQ(utf8ToGbk("a\xE6\x89"), "a?");       // truncated at the end
  EXPECT_EQ(utf8ToGbk("\xE6\x89" "b"), "?b");     // truncated, then a good byte
  EXPECT_EQ(utf8ToGbk("\xC0\xAF"), "??");         // overlong
  EXPECT_EQ(utf8ToGbk("\xED\xA0\x80"), "???");    // surrogate
  EXPECT_EQ(utf8ToGbk("\xF0\x9F\x98\x80" "a"), "?a");  // outside the BMP
  EXPECT_EQ(utf8ToGbk("\xD0\x96"), "\xA7\xA8");   // Cyrillic Zhe is in GBK
  EXPECT_EQ(utf8ToGbk("\xE0\xB8\x81"), "?");      // Thai is not
  // utf8ToGbk stops at the first NUL; utf8TextToGbk only drops NULs.
  const std::string withNul("ab\0cd", 5);
  EXPECT_EQ(utf8ToGbk(withNul), "ab");
  EXPECT_EQ(utf8TextToGbk(withNul), "abcd");
}

TEST(Codepage, LargePageRoundTrip) {
  // A page of several megabytes, the size the lookups convert.
  std::string page;
  for (int i = 0; i < 200000; ++i) page += "中文<a href=x>";
  const std::string utf8 = gbkToUtf8(page);
  EXPECT_EQ(utf8ToGbk(utf8), page);
}
