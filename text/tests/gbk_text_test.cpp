#include "text/gbk_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
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
  // Out of range, the value decides, not the exponent's sign.
  EXPECT_TRUE(std::isinf(toNumber("1" + std::string(309, '0') + "e-0")));
  EXPECT_TRUE(std::isinf(toNumber("-" + std::string(400, '9') + "e-80")));
  EXPECT_EQ(toNumber("0." + std::string(400, '0') + "1e5"), 0);
  EXPECT_EQ(toNumber("." + std::string(330, '0') + "7e+1"), 0);
  EXPECT_EQ(toNumber("0." + std::string(320, '0') + "1e300"), 1e-21);
  EXPECT_EQ(toNumber("1e99999999999999999999999"), toNumber("1e999"));
  EXPECT_EQ(toNumber("0e999"), 0);
  EXPECT_EQ(toNumber("-0.000e99999"), 0);
  // The integer form truncates toward zero and clamps what does not fit.
  EXPECT_EQ(toInteger("-7.9"), -7);
  EXPECT_EQ(toInteger("12,345"), 12);
  EXPECT_EQ(toInteger("1e99"), INT32_MAX);
  EXPECT_EQ(toInteger("-1e999"), INT32_MIN);
  EXPECT_EQ(toInteger("abc"), 0);
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

namespace {

// The plain scan: try every character boundary in turn. The library's search
// skips ahead by byte search and must agree with this everywhere.
int referenceFind(const std::string& text, const std::string& sub, bool ignoreCase, size_t from) {
  auto fold = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
  if (sub.empty() || sub.size() > text.size()) return -1;
  for (size_t i = from; i < text.size();) {
    bool match = text.size() - i >= sub.size();
    for (size_t k = 0; match && k < sub.size(); ++k) {
      const auto a = static_cast<unsigned char>(text[i + k]);
      const auto b = static_cast<unsigned char>(sub[k]);
      if (isGbkLead(b) && k + 1 < sub.size()) {
        match = a == b && text[i + k + 1] == sub[k + 1];
        ++k;
      } else {
        match = ignoreCase ? fold(a) == fold(b) : a == b;
      }
    }
    if (match) return static_cast<int>(i);
    i += (isGbkLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
  }
  return -1;
}

std::string referenceRemove(const std::string& text, const std::string& sub) {
  if (text.empty() || sub.empty()) return text;
  std::string out;
  size_t copied = 0;
  for (int at = referenceFind(text, sub, false, 0); at >= 0;
       at = referenceFind(text, sub, false, copied)) {
    out.append(text, copied, static_cast<size_t>(at) - copied);
    copied = static_cast<size_t>(at) + sub.size();
  }
  return out + text.substr(copied);
}

}  // namespace

TEST(FindText, AgreesWithCharacterByCharacterScan) {
  // Few distinct bytes, lead bytes among them, so that runs of lead bytes,
  // trail bytes equal to the sub-text's first byte and letters in both cases
  // come up often.
  const char kBytes[] = {'a', 'A', 'b', '-', '\x81', '\xA1', '\xB0', '\xFE', '\xFF', '\x40'};
  std::mt19937 rng(20160503);
  auto pick = [&](size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += kBytes[rng() % sizeof kBytes];
    return s;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string text = pick(rng() % 40);
    std::string sub = pick(1 + rng() % 3);
    if (round % 2 && !text.empty()) {  // half the time a piece of the text itself
      const size_t at = rng() % text.size();
      sub = text.substr(at, 1 + rng() % 3);
    }
    for (bool ignoreCase : {false, true}) {
      const int want = referenceFind(text, sub, ignoreCase, 0);
      ASSERT_EQ(findText(text, sub, ignoreCase), want < 0 ? -1 : want + 1)
          << testing::PrintToString(text) << " / " << testing::PrintToString(sub) << " ic=" << ignoreCase;
    }
    ASSERT_EQ(removeAll(text, sub), referenceRemove(text, sub))
        << testing::PrintToString(text) << " / " << testing::PrintToString(sub);
  }
}

TEST(FindText, LongRunsOfChineseText) {
  // 10,000 characters whose bytes are all lead bytes: B0 A1 B0 A1 ... The
  // pair A1 B0 occurs at every odd offset but never as a character.
  std::string run;
  for (int i = 0; i < 10000; ++i) run += kAh;
  EXPECT_EQ(findText(run, "\xA1\xB0", false), -1);
  EXPECT_EQ(removeAll(run, "\xA1\xB0"), run);
  EXPECT_EQ(findText(run + "\xA1\xB0", "\xA1\xB0", false), 20001);
  EXPECT_EQ(findText("x" + run + "X", "x", true), 1);
  EXPECT_EQ(findText(run + "X", "x", true), 20001);
  // After the stray A1 the pairing shifts: A1 B0 is now a character.
  EXPECT_EQ(findText(run + "\xA1" + run, "\xA1\xB0", false), 20001);
  EXPECT_EQ(removeAll(run + "-" + run + "-", "-"), run + run);
}

TEST(ToNumber, FoldsOnlyWhatItReads) {
  EXPECT_EQ(toNumber("\xA3\xB1\xA3\xB2个网页"), 12);                    // full-width 12, then Chinese
  EXPECT_EQ(toNumber("1\xA3\xB2" "e\xA3\xB3"), 12000);                 // 1 ２ e ３
  EXPECT_EQ(toNumber("2\xA3\xC5" "2"), 200);                           // full-width E as exponent
  EXPECT_EQ(toNumber("\xA1\xA1\t\xA1\xA1" "7"), 7);                    // blanks of both kinds first
  EXPECT_EQ(toNumber("1 \xA3\xB2"), 1);                                // a blank ends the number
  EXPECT_EQ(toNumber("\xA3\xAB\xA3\xAE\xA3\xB5"), 0.5);                // ＋．５
  EXPECT_EQ(toNumber("5\xB0"), 5);                                     // lone lead byte at the end
  EXPECT_EQ(toNumber("\xA1\xA1"), 0);
  EXPECT_EQ(toNumber("\xA3\xB1\xA1\xAB" "2"), 1);                      // ～ is not part of a number
}
