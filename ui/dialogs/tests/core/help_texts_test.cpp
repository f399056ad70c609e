// The help-centre texts: exact page texts and the WHOIS reference structure.
#include "ui/dialogs/help_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dvx {
namespace {

std::vector<std::string> splitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t p = text.find("\r\n", start);
    lines.push_back(text.substr(start, p == std::string::npos ? std::string::npos : p - start));
    if (p == std::string::npos) return lines;
    start = p + 2;
  }
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

bool hasLoneCrOrLf(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) return true;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return true;
  }
  return false;
}

TEST(HelpTexts, UsagePageLinesAndEmptyLinesAreKept) {
  EXPECT_EQ(usageSectionText(0),
            "\r\n[1]单个或批量添加要管理的域名\r\n\r\n"
            "[2]软件为您查询各域名的注册时间以及过期时间等信息,方便您管理和提醒您及时续费\r\n\r\n");
  EXPECT_EQ(usageSectionText(1),
            "\r\n[1]在列表内选中要重新查询的单个域名\r\n\r\n[2]点下面的'重查选中'按钮,将重新获取域名的注册信息\r\n\r\n");
  // The third section has one empty line fewer at its end.
  EXPECT_EQ(usageSectionText(2), "\r\n[1]在列表内选中要修改的单个域名,并双击\r\n\r\n[2]在弹出的修改对话框内修改域名信息\r\n");
  EXPECT_EQ(usageSectionText(3), "");
  EXPECT_EQ(std::string(kHelpTabTitles[3]), "Whois服务器大全");
}

TEST(HelpTexts, ExpiryPageIsExactWithTrailingSpaces) {
  const std::string text = expiryKnowledgeText();
  EXPECT_FALSE(hasLoneCrOrLf(text));
  EXPECT_EQ(text,
            "国际域名：\r\n\r\n"
            "(1) 到期当天暂停解析，如果在72小时未续费，则修改域名DNS指向广告页面（停放）。38天内，可以续费。"
            "续费后，系统自动恢复原来的DNS，刷新时间大概是24－48小时。\r\n\r\n"
            "(2) 39-70天，域名处于赎回期（Redemption），此期间域名无法管理，需手工赎回！ \r\n\r\n"
            "(3) 75天，域名被彻底删除，可以重新注册。\r\n\r\n\r\n"
            "国内域名：\r\n\r\n"
            "(1) 到期当天暂停解析，如果在72小时未续费，则修改域名DNS指向广告页面（停放）。35天内，可以续费。 \r\n\r\n"
            "(2) 过期后36－48天，将进入13天的高价赎回期，此期间域名无法管理。\r\n\r\n"
            "(3) 过期后48天后仍未续费的，域名将随时被删除。 \r\n\r\n"
            "日期来源：WHOIS页面没有给出注册或过期日期（显示“找不到”）时，软件会向该域名注册局的RDAP服务查询，按UTC日期显示，.cn、.jp等没有RDAP服务的后缀仍显示“找不到”。");
  EXPECT_EQ(splitCrLf(text).size(), 18u);
}

TEST(HelpTexts, WhoisReferenceFollowsItsStructure) {
  const std::string text = whoisReferenceText();
  EXPECT_FALSE(hasLoneCrOrLf(text));
  EXPECT_GT(text.size(), 4000u);
  EXPECT_LT(text.size(), 4800u);
  const auto lines = splitCrLf(text);
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines[0], "以下是网上搜集的whois服务器地址，手工查询域名信息方法如下：");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "（1）连接whois服务器的43端口 ");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "（2）发送域名，最后要加回车符，whois服务器就会返回域名的注册信息。");
  EXPECT_EQ(lines[5], "");

  // Common suffixes: ".xx host 43端口", up to the empty line before the note.
  size_t i = 6;
  int common = 0;
  for (; i < lines.size() && !lines[i].empty(); ++i, ++common) {
    const std::string& l = lines[i];
    EXPECT_EQ(l[0], '.') << l;
    EXPECT_EQ(l.substr(l.size() - 7), " 43端口") << l;
    EXPECT_EQ(l.find('|'), std::string::npos) << l;
  }
  EXPECT_GE(common, 3);
  ASSERT_LT(i + 3, lines.size());
  const std::string& note = lines[i + 1];
  for (const char* word : {"com", "net", "ws", "Whois Server", "Registrar Whois"})
    EXPECT_NE(note.find(word), std::string::npos) << word;
  EXPECT_EQ(lines[i + 2], "");

  // The table: entries on every other line, each followed by an empty line.
  int total = 0, none = 0, web = 0, host = 0;
  i += 3;
  for (; i + 1 < lines.size() && lines[i].find('|') != std::string::npos; i += 2) {
    const std::string& l = lines[i];
    EXPECT_EQ(lines[i + 1], "") << l;
    const size_t bar = l.find('|');
    EXPECT_GE(bar, 2u) << l;
    const std::string rest = l.substr(bar + 1);
    ++total;
    if (rest == "NONE") {
      ++none;
    } else if (startsWith(rest, "WEB|")) {
      ++web;
      EXPECT_TRUE(startsWith(rest, "WEB|http")) << l;
    } else {
      ++host;
      EXPECT_EQ(rest.find('|'), std::string::npos) << l;
      EXPECT_EQ(rest.find(' '), std::string::npos) << l;
      EXPECT_NE(rest.find('.'), std::string::npos) << l;
    }
  }
  EXPECT_EQ(total, 172);
  EXPECT_EQ(none, 69);
  EXPECT_EQ(web, 21);
  EXPECT_EQ(host, 172 - 69 - 21);
  // Then the closing line, last of all.
  ASSERT_EQ(i + 1, lines.size());
  EXPECT_NE(lines[i].find("IANA"), std::string::npos);
  EXPECT_NE(lines[i].find("whois.iana.org"), std::string::npos);
}

TEST(HelpTexts, ProviderLinksAreWebAddresses) {
  for (const ProviderLink& link : kProviderLinks) {
    const std::string url = link.url;
    EXPECT_TRUE(startsWith(url, "http://") || startsWith(url, "https://")) << url;
    EXPECT_EQ(url.find_first_of(" \""), std::string::npos) << url;
  }
  EXPECT_EQ(std::string(kProviderLinks[0].provider), "万网");
  EXPECT_EQ(std::string(kProviderLinks[4].provider), "DNSPod");
}

}  // namespace
}  // namespace dvx
