#include "text/gbk_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace dvx;

namespace {

// "啊" is B0 A1: its trail byte equals the lead byte of the full-width space.
const std::string kAh = "\xB0\xA1";
const std::string kFullSpace = "\xA1\xA1";
// 81 41 is a GBK character whose trail byte is the ASCII letter 'A'.
const std::string kTrailA = "\x81" "A";

}  // namespace

TEST(FindText, StepsOverDoubleByteCharacters) {
  // A sub-text equal to a trail byte never matches inside a character.
  EXPECT_EQ(findText(kAh, "\xA1", false), -1);
  EXPECT_EQ(findText(kTrailA, "A", false), -1);
  EXPECT_EQ(findText(kTrailA, "a", true), -1);
  EXPECT_EQ(findText(kTrailA + "A", "A", false), 3);
  // Trail of one character plus lead of the next is not the full-width space.
  EXPECT_EQ(findText(kAh + kFullSpace, kFullSpace, false), 3);
  EXPECT_EQ(findText("\xB0\xA1\xA1", kFullSpace, false), -1);
  EXPECT_EQ(findText("找不到域名", "域名", false), 7);
}

TEST(FindText, CaseFoldingAndEdges) {
  EXPECT_EQ(findText("Expiration Date:", "DATE", true), 12);
  EXPECT_EQ(findText("Expiration Date:", "DATE", false), -1);
  EXPECT_EQ(findText("abc", "abc", false), 1);
  EXPECT_EQ(findText("ab", "abc", false), -1);
  EXPECT_EQ(findText("", "a", false), -1);
  EXPECT_EQ(findText("abc", "", false), -1);
  // Ignoring case never folds a trail byte: 81 41 and 81 61 are different
  // characters.
  EXPECT_EQ(findText("\x81" "a", kTrailA, true), -1);
  EXPECT_EQ(findText("x" + kTrailA, kTrailA, true), 2);
  // Full-width letters are not ASCII and do not fold.
  EXPECT_EQ(findText("\xA3\xC1", "\xA3\xE1", true), -1);
  // A lead byte at the very end is never read past.
  EXPECT_EQ(findText("ab\xB0", "\xB0\xA1", false), -1);
  EXPECT_EQ(findText("ab\xB0", "\xB0", false), 3);
}

TEST(RemoveAll, DeletesEveryWholeOccurrence) {
  EXPECT_EQ(removeAll("a-b--c", "-"), "abc");
  EXPECT_EQ(removeAll("aaaa", "aa"), "");
  EXPECT_EQ(removeAll("aaa", "aa"), "a");
  EXPECT_EQ(removeAll("", "a"), "");
  EXPECT_EQ(removeAll("abc", ""), "abc");
  EXPECT_EQ(removeAll("Abc", "a"), "Abc");
  // The trail byte A1 of "啊" survives; only the whole full-width space goes.
  EXPECT_EQ(removeAll(kAh + kFullSpace + "x", kFullSpace), kAh + "x");
  EXPECT_EQ(removeAll(kTrailA + "A", "A"), kTrailA);
  EXPECT_EQ(removeAll("x\xB0", "\xB0"), "x");
}

TEST(ReplaceAll, LeftToRightWithoutOverlap) {
  EXPECT_EQ(replaceAll("HTTP://a/http://b", "http://", "*", true), "*a/*b");
  EXPECT_EQ(replaceAll("HTTP://a", "http://", "*", false), "HTTP://a");
  EXPECT_EQ(replaceAll("aaa", "aa", "b", false), "ba");
  EXPECT_EQ(replaceAll(kTrailA, "A", "b", false), kTrailA);
}

TEST(TrimSpaces, OnlySpacesAndFullWidthSpacesAtTheEnds) {
  EXPECT_EQ(trimSpaces("\t a b" + kFullSpace), "\t a b");
  EXPECT_EQ(trimSpaces(" " + kFullSpace + " x y " + kFullSpace + " "), "x y");
  EXPECT_EQ(trimSpaces("\r\n x \n"), "\r\n x \n");
  EXPECT_EQ(trimSpaces("   "), "");
  EXPECT_EQ(trimSpaces(kFullSpace + kFullSpace), "");
  EXPECT_EQ(trimSpaces(""), "");
  // B0 A1 A1 A1: the last two bytes are a full-width space after "啊".
  EXPECT_EQ(trimSpaces(kAh + kFullSpace), kAh);
  // B0 A1 A1: "啊" and a stray A1; nothing there is a full-width space.
  EXPECT_EQ(trimSpaces("\xB0\xA1\xA1"), "\xB0\xA1\xA1");
  EXPECT_EQ(trimSpaces(" \xB0"), "\xB0");
}

TEST(TextBeforeAfter, MarkersPresentAbsentAndLeading) {
  EXPECT_EQ(textBefore("abc", "x"), "");
  EXPECT_EQ(textAfter("abc", "x"), "bc");  // absent: the text without its first M bytes
  EXPECT_EQ(textAfter("abc", "xyz"), "");
  EXPECT_EQ(textAfter("abc", "wxyz"), "");
  EXPECT_EQ(textBefore("abc", "a"), "");
  EXPECT_EQ(textAfter("abc", "a"), "bc");
  EXPECT_EQ(textBefore("key: value", ": "), "key");
  EXPECT_EQ(textAfter("key: value", ": "), "value");
  EXPECT_EQ(textBefore("Name=X;NAME=Y", "name="), "");
  EXPECT_EQ(textAfter("Name=X;NAME=Y", "name="), "X;NAME=Y");
  EXPECT_EQ(textBefore("a<B>b<b>c", "<b>"), "a");
  EXPECT_EQ(textAfter("a<B>b<b>c", "<b>"), "b<b>c");
  EXPECT_EQ(textBefore("注册商：某公司", "："), "注册商");
  EXPECT_EQ(textAfter("注册商：某公司", "："), "某公司");
  EXPECT_EQ(textAfter("", "x"), "");
  EXPECT_EQ(textAfter("abc", ""), "abc");
}

TEST(ToNumber, ReadsTheLeadingNumber) {
  EXPECT_EQ(toNumber("  1234  "), 1234);
  EXPECT_EQ(toNumber("<b>12"), 0);
  EXPECT_EQ(toNumber("\xA3\xB1\xA3\xB2"), 12);              // full-width 1 2
  EXPECT_EQ(toNumber("\xA1\xA1\xA3\xAD\xA3\xB3.5x"), -3.5);  // full-width blank, minus, 3
  EXPECT_EQ(toNumber("\t\r\n 42abc"), 42);
  EXPECT_EQ(toNumber("12,345"), 12);
  EXPECT_EQ(toNumber("-7.25e2kg"), -725);
  EXPECT_EQ(toNumber("1e"), 1);
  EXPECT_EQ(toNumber("1e+"), 1);
  EXPECT_EQ(toNumber("+.5"), 0.5);
  EXPECT_EQ(toNumber("3."), 3);
  EXPECT_EQ(toNumber("."), 0);
  EXPECT_EQ(toNumber("-"), 0);
  EXPECT_EQ(toNumber(""), 0);
  EXPECT_EQ(toNumber("约 100 个"), 0);
  EXPECT_EQ(toNumber("0x1A"), 0);
  EXPECT_EQ(toNumber("inf"), 0);
  EXPECT_TRUE(std::isinf(toNumber("1e999")));
  EXPECT_EQ(toNumber("1e-999"), 0);
}

TEST(FoldFullWidth, TableAndOtherCharactersKept) {
  EXPECT_EQ(foldFullWidth("\xA3\xA1\xA3\xFE\xA3\xC1\xA3\xE1"), "!~Aa");
  EXPECT_EQ(foldFullWidth("\xA1\xA1\xA1\xAB\xA1\xEE\xA1\xEF"), " ~**");
  EXPECT_EQ(foldFullWidth("中\xA3\xAF文"), "中/文");
  EXPECT_EQ(foldFullWidth("a\xA3"), "a\xA3");
  // The A3 that is the trail byte of another character is not folded.
  EXPECT_EQ(foldFullWidth("\xB0\xA3\xB1x"), "\xB0\xA3\xB1x");
}

TEST(AsciiCase, LettersOnlyAndNeverTrailBytes) {
  EXPECT_EQ(asciiUpper("abc-Z9"), "ABC-Z9");
  EXPECT_EQ(asciiLower("ABC-z9"), "abc-z9");
  EXPECT_EQ(asciiLower(kTrailA + "A"), kTrailA + "a");
  EXPECT_EQ(asciiUpper("\x81" "a" "a"), "\x81" "aA");
  EXPECT_EQ(asciiLower("\xA3\xC1"), "\xA3\xC1");
  EXPECT_EQ(asciiUpper("x\x81"), "X\x81");
}
