// The web-page shortcuts' command lines.
#include "ui/dialogs/shortcuts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dvx {
namespace {

LookupHosts testHosts() {
  LookupHosts h;
  h.baiduHost = "search.example:8080";
  h.googleHost = "g.example";
  h.siteServiceHost = "rank.example";
  return h;
}

TEST(Shortcuts, EachButtonQuotesItsUrlWithTheTextAsTyped) {
  const LookupHosts h = testHosts();
  EXPECT_EQ(shortcutCommandLine(1, h, "Example.COM"), "explorer \"http://Example.COM\"");
  EXPECT_EQ(shortcutCommandLine(2, h, "a.com"), "explorer \"http://search.example:8080/s?wd=site:a.com\"");
  EXPECT_EQ(shortcutCommandLine(3, h, "a.com"), "explorer \"http://g.example/search?q=site:a.com\"");
  EXPECT_EQ(shortcutCommandLine(4, h, "a.com"), "explorer \"http://rank.example/baidu/a.com\"");
  // Not cleaned: a typed scheme doubles, spaces, case and "www." stay.
  EXPECT_EQ(shortcutCommandLine(1, h, "http://www.A.com "), "explorer \"http://http://www.A.com \"");
  EXPECT_EQ(shortcutCommandLine(1, h, ""), "explorer \"http://\"");
  EXPECT_EQ(shortcutCommandLine(4, h, ""), "explorer \"http://rank.example/baidu/\"");
  // Default hosts are the real services.
  EXPECT_EQ(shortcutUrl(2, LookupHosts{}, "a.com"), "http://www.baidu.com/s?wd=site:a.com");
}

TEST(Shortcuts, OnlyQuotesCommasAndControlBytesAreEncoded) {
  const LookupHosts h = testHosts();
  // The typed backslash before the closing quote is doubled, so the quote
  // still closes the address; the comma would give Explorer an option.
  EXPECT_EQ(shortcutCommandLine(1, h, "a.com\" /select,c:\\"), "explorer \"http://a.com%22 /select%2Cc:\\\\\"");
  EXPECT_EQ(shortcutUrl(1, h, std::string("a\tb\r\nc\x7f", 7) + std::string(1, '\0') + "d"),
            "http://a%09b%0D%0Ac%7F%00d");
  // Percent signs, other punctuation and Chinese (with trail bytes that look
  // like ASCII, e.g. "中" D6 D0 and "丂" 81 40) pass unchanged.
  const std::string chinese = "中文丂.com/%20?x=1&y='z'<>|^";
  EXPECT_EQ(shortcutUrl(1, h, chinese), "http://" + chinese);
}

TEST(Shortcuts, TheAddressIsOneArgumentByTheWindowsRules) {
  // Backslashes before the closing quote double; others stay single.
  EXPECT_EQ(shortcutCommandLine(1, testHosts(), "a\\b\\\\"), "explorer \"http://a\\b\\\\\\\\\"");
  // A Chinese character whose trail byte is 0x5C is not a backslash.
  EXPECT_EQ(shortcutCommandLine(1, testHosts(), "a\x81\x5C"), "explorer \"http://a\x81\x5C\"");
  // A lead byte without its trail byte would take the closing quote with it.
  EXPECT_EQ(shortcutCommandLine(1, testHosts(), "a\xB0"), "explorer \"http://a%B0\"");
  EXPECT_EQ(shortcutCommandLine(1, testHosts(), "\xB0 \xB0\x7F\xB0\xB0"), "explorer \"http://%B0 %B0%7F\xB0\xB0\"");
  // Hosts from the settings file are escaped like the typed text.
  LookupHosts h;
  h.baiduHost = "b\" /c calc \"";
  h.googleHost = "g\r\n";
  h.siteServiceHost = "s.example\\";
  EXPECT_EQ(shortcutCommandLine(2, h, "x"), "explorer \"http://b%22 /c calc %22/s?wd=site:x\"");
  EXPECT_EQ(shortcutCommandLine(3, h, "x"), "explorer \"http://g%0D%0A/search?q=site:x\"");
  EXPECT_EQ(shortcutCommandLine(4, h, "x\\"), "explorer \"http://s.example\\/baidu/x\\\\\"");
}

TEST(Shortcuts, NumbersOutsideOneToFourStartNothing) {
  struct Recorder : ProcessLauncher {
    std::vector<std::string> lines;
    void launch(const std::string& l) override { lines.push_back(l); }
  } rec;
  const LookupHosts h = testHosts();
  for (int n : {0, 5, -1}) {
    EXPECT_EQ(shortcutCommandLine(n, h, "a.com"), "");
    openShortcut(n, h, "a.com", rec);
  }
  EXPECT_TRUE(rec.lines.empty());
  openShortcut(3, h, "x\"y", rec);
  ASSERT_EQ(rec.lines.size(), 1u);
  EXPECT_EQ(rec.lines[0], "explorer \"http://g.example/search?q=site:x%22y\"");
}

}  // namespace
}  // namespace dvx
