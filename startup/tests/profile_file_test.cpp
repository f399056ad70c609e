#include "startup/profile_file.h"
#include "startup/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace dvx {
namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "profile_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
    std::remove(path_.c_str());
  }
  void TearDown() override { std::remove(path_.c_str()); }
  std::string bytes() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  void put(const std::string& content) {
    std::ofstream(path_, std::ios::binary) << content;
  }
  std::string path_;
};

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGivesTheFallback) {
  EXPECT_EQ(readProfileString(path_, "Domivex", "位置", "7"), "7");
  put("[Other]\r\n位置=1\r\n");
  EXPECT_EQ(readProfileString(path_, "Domivex", "位置", "7"), "7");
  put("[Domivex]\r\nx=1\r\n");
  EXPECT_EQ(readProfileString(path_, "Domivex", "位置", "7"), "7");
  EXPECT_EQ(readProfileString("", "Domivex", "x", "d"), "");
  EXPECT_EQ(readProfileString(path_, "", "x", "d"), "");
  EXPECT_EQ(readProfileString(path_, "Domivex", "", "d"), "");
}

TEST_F(ProfileFileTest, WritesGbkBytesAndReadsThemBack) {
  ASSERT_TRUE(writeProfileString(path_, "Domivex", "位置", "3"));
  // "位置" is the GBK bytes CE BB D6 C3 in the file, whatever the locale.
  EXPECT_EQ(bytes(), "[Domivex]\r\n\xCE\xBB\xD6\xC3=3\r\n");
  EXPECT_EQ(readProfileString(path_, "Domivex", "位置", "0"), "3");
  ASSERT_TRUE(writeProfileString(path_, "Domivex", "按过期日期排序", "假"));
  EXPECT_EQ(readProfileString(path_, "Domivex", "按过期日期排序", "真"), "假");
  EXPECT_EQ(readProfileString(path_, "Domivex", "位置", "0"), "3");
}

TEST_F(ProfileFileTest, ReplacesOneKeyAndKeepsEverythingElse) {
  put("; note\r\n[other]\r\nkey=a\r\n\r\n[DOMIVEX]\r\n  Key = old value \r\nnext=2\r\n[last]\r\nz=9\r\n");
  ASSERT_TRUE(writeProfileString(path_, "Domivex", "key", "new"));
  EXPECT_EQ(readProfileString(path_, "domivex", "KEY", ""), "new");
  EXPECT_EQ(readProfileString(path_, "other", "key", ""), "a");
  EXPECT_EQ(readProfileString(path_, "Domivex", "next", ""), "2");
  EXPECT_EQ(readProfileString(path_, "last", "z", ""), "9");
  EXPECT_NE(bytes().find("; note\r\n"), std::string::npos);
  // A new key in an existing section lands inside that section.
  ASSERT_TRUE(writeProfileString(path_, "other", "added", "x"));
  EXPECT_EQ(readProfileString(path_, "other", "added", ""), "x");
  EXPECT_EQ(readProfileString(path_, "last", "added", "none"), "none");
}

TEST_F(ProfileFileTest, ValuesAreTrimmedUnquotedAndCappedAt10240Bytes) {
  put("[s]\r\nq=\"  spaced  \"\r\nlong=" + std::string(20000, 'x') + "\n");
  EXPECT_EQ(readProfileString(path_, "s", "q", ""), "  spaced  ");
  EXPECT_EQ(readProfileString(path_, "s", "long", "").size(), kMaxProfileValue);
}

TEST_F(ProfileFileTest, AWriteThatCannotHappenReportsFailureAndLeavesNoFile) {
  const std::string bad = ::testing::TempDir() + "no/such/dir/settings.ini";
  EXPECT_FALSE(writeProfileString(bad, "s", "k", "v"));
  EXPECT_EQ(readProfileString(bad, "s", "k", "fallback"), "fallback");
}

TEST_F(ProfileFileTest, AHugeFileIsReadOnlyInItsFirst64KbAndEmptyValuesAreAbsent) {
  // 100 MB, mostly a hole: keys in the first KB, a line cut by the bound,
  // and one more key at the end.
  const std::string head = "[Domivex]\r\nWhoisBase=\r\nBaiduHost=b.example\r\n";
  put(head + std::string(kMaxProfileFile - head.size() - 16, ';') + "\r\nGoogleHost=cut.example\r\n");
  std::filesystem::resize_file(path_, 100u << 20);
  std::ofstream(path_, std::ios::binary | std::ios::in | std::ios::out).seekp(-40, std::ios::end)
      << "\r\nSiteServiceHost=late.example\r\n";
  const LookupHosts defaults;
  const LookupHosts hosts = Settings(path_).readHosts();
  EXPECT_EQ(hosts.whoisBase, defaults.whoisBase);
  EXPECT_EQ(hosts.baiduHost, "b.example");
  EXPECT_EQ(hosts.googleHost, defaults.googleHost);
  EXPECT_EQ(hosts.siteServiceHost, defaults.siteServiceHost);
  // A write keeps what is read, and only that.
  ASSERT_TRUE(Settings(path_).WriteSetting("BaiduHost", "c.example"));
  EXPECT_LT(std::filesystem::file_size(path_), kMaxProfileFile);
  EXPECT_EQ(Settings(path_).readHosts().baiduHost, "c.example");
}

}  // namespace
}  // namespace dvx
