#include "ui/list/sort_order.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "text/date_time.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

// The list's selection sort, step by step: the first remaining pair is the
// candidate, every later pair for which the take rule holds replaces it, the
// candidate is output and removed.
template <class Key, class Take>
std::vector<int> selectionModel(const std::vector<Key>& keys, Take take) {
  std::vector<std::pair<Key, int>> rest;
  for (size_t i = 0; i < keys.size(); ++i) rest.emplace_back(keys[i], static_cast<int>(i));
  std::vector<int> out;
  while (rest.size() >= 2) {
    size_t cand = 0;
    for (size_t i = 1; i < rest.size(); ++i)
      if (take(rest[cand].first, rest[i].first)) cand = i;
    out.push_back(rest[cand].second);
    rest.erase(rest.begin() + static_cast<long>(cand));
  }
  if (!rest.empty()) out.push_back(rest[0].second);
  return out;
}

std::string modelUpper(const std::string& s) {
  std::string r = s;
  for (size_t i = 0; i < r.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(r[i]);
    if (c >= 0x81 && c <= 0xFE) { ++i; continue; }
    if (c >= 'a' && c <= 'z') r[i] = static_cast<char>(c - 32);
  }
  return r;
}

std::vector<int> modelOrder(const std::vector<std::string>& cells, bool asc, bool cs, int kind) {
  if (kind == kSortText) {
    std::vector<std::string> keys;
    for (const auto& c : cells) keys.push_back(cs ? c : modelUpper(c));
    return selectionModel(keys, [asc](const std::string& c, const std::string& p) {
      const int r = std::strcmp(c.c_str(), p.c_str());
      return asc ? r >= 0 : r <= 0;
    });
  }
  std::vector<double> keys;
  for (const auto& c : cells)
    keys.push_back(kind == kSortDateTime ? toDayCount(parseDateTime(c)) : toNumber(c));
  if (kind == kSortDateTime)
    return selectionModel(keys, [asc](double c, double p) { return asc ? c >= p : c <= p; });
  return selectionModel(keys, [asc](double c, double p) { return asc ? c - p >= -1e-7 : c - p <= 1e-7; });
}

const std::vector<std::string> kTextPool = {
    "a.com", "A.COM", "b.com", "B.com", "中国.com", "中国", "阿里", "", "10", "9", "z",
    "\x81\x61", "\x81\x41", "abc", "ABC", "a"};
const std::vector<std::string> kNumberPool = {
    "1", "1", "2", "0", "", "abc", "1,000", "-3", "3e2", "１２", "12", "中5", "  7 ",
    "1.00000006", "1.00000012", "1.00000018", "0.99999995", "1e400", "-1e400", "2.5"};
const std::vector<std::string> kDatePool = {
    "2016/2/29", "2015/2/29", "找不到", "", "无记录", "2020-01-01", "2020/1/1 12:00:00",
    "2020年1月1日", "20200101", "1899/12/30", "1800/6/1", "9999/12/31", "100/1/2", " 2020/1/1",
    "2024/05/10"};

std::vector<std::string> randomList(std::mt19937& rng, const std::vector<std::string>& pool,
                                    size_t maxLen) {
  std::uniform_int_distribution<size_t> len(0, maxLen), pick(0, pool.size() - 1);
  std::vector<std::string> out(len(rng));
  for (auto& s : out) s = pool[pick(rng)];
  return out;
}

TEST(SortOrder, MatchesSelectionModelOnRandomListsWithTies) {
  std::mt19937 rng(20240510);
  struct Case { int kind; const std::vector<std::string>* pool; };
  const Case cases[] = {{kSortText, &kTextPool}, {kSortNumber, &kNumberPool},
                        {kSortInteger, &kNumberPool}, {kSortDateTime, &kDatePool}};
  for (const auto& c : cases) {
    for (int round = 0; round < 150; ++round) {
      const auto keys = randomList(rng, *c.pool, 40);
      for (bool asc : {true, false})
        for (bool cs : {true, false})
          ASSERT_EQ(sortOrder(keys, asc, cs, c.kind), modelOrder(keys, asc, cs, c.kind))
              << "kind " << c.kind << " asc " << asc << " cs " << cs << " round " << round;
    }
  }
}

TEST(SortOrder, NumbersWithinToleranceFollowTheSelectionExactly) {
  // Chains of values closer than 1e-7 make the take rule intransitive; the
  // selection then does not even output them by value.
  const std::vector<std::string> chain = {"0", "0.00000016", "0.00000008"};
  EXPECT_EQ(sortOrder(chain, true, false, kSortNumber), (std::vector<int>{2, 0, 1}));
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> step(0, 12), len(0, 70);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> keys(len(rng));
    for (auto& k : keys) {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%d.%08d", round % 3, step(rng) * 4);  // 4e-8 steps
      k = buf;
    }
    for (bool asc : {true, false})
      ASSERT_EQ(sortOrder(keys, asc, false, kSortNumber), modelOrder(keys, asc, false, kSortNumber))
          << round;
  }
}

TEST(SortOrder, EdgeCasesOfEachKind) {
  // Equal keys come out reversed in both directions; sorting twice restores them.
  const std::vector<std::string> same = {"x", "x", "x"};
  EXPECT_EQ(sortOrder(same, true, false, kSortText), (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(sortOrder(same, false, false, kSortText), (std::vector<int>{2, 1, 0}));
  EXPECT_TRUE(sortOrder({}, true, false, kSortDateTime).empty());
  EXPECT_EQ(sortOrder({"only"}, false, true, kSortNumber), (std::vector<int>{0}));

  // Case: folded, the two spellings tie and swap; case-sensitive, upper first.
  const std::vector<std::string> cased = {"abc.com", "ABC.COM"};
  EXPECT_EQ(sortOrder(cased, true, false, kSortText), (std::vector<int>{1, 0}));
  EXPECT_EQ(sortOrder(cased, true, true, kSortText), (std::vector<int>{1, 0}));
  EXPECT_EQ(sortOrder(cased, false, true, kSortText), (std::vector<int>{0, 1}));
  // A trail byte that looks like a lower-case letter is not folded.
  const std::vector<std::string> trail = {"\x81\x41", "\x81\x61"};
  EXPECT_EQ(sortOrder(trail, true, false, kSortText), (std::vector<int>{0, 1}));
  // Bytes compare unsigned: Chinese after ASCII; "10" before "9" as text.
  const std::vector<std::string> mixed = {"中国", "9", "10"};
  EXPECT_EQ(sortOrder(mixed, true, false, kSortText), (std::vector<int>{2, 1, 0}));

  // Numbers: "1,000" reads 1, a leading Chinese character reads 0.
  const std::vector<std::string> nums = {"1,000", "中5", "2", "1"};
  EXPECT_EQ(sortOrder(nums, true, false, kSortNumber), (std::vector<int>{1, 3, 0, 2}));
  EXPECT_EQ(sortOrder(nums, true, false, kSortInteger), sortOrder(nums, true, false, kSortNumber));

  // Dates: unreadable texts are the year 100 and come first ascending.
  const std::vector<std::string> dates = {"2020/01/02", "找不到", "2019/12/31", "", "2015/2/29"};
  EXPECT_EQ(sortOrder(dates, true, false, kSortDateTime), (std::vector<int>{4, 3, 1, 2, 0}));
  EXPECT_EQ(sortOrder(dates, false, false, kSortDateTime), (std::vector<int>{0, 2, 4, 3, 1}));

  // An unknown kind changes nothing.
  EXPECT_EQ(sortOrder(dates, true, false, 4), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(SortOrder, ArgumentChecksAndTheirTexts) {
  EXPECT_EQ(checkSortArguments(false, 11, 99, 4), SortCheck::kNotReport);
  EXPECT_EQ(checkSortArguments(true, 11, 11, 10), SortCheck::kBadColumn);
  EXPECT_EQ(checkSortArguments(true, 11, -1, 10), SortCheck::kBadColumn);
  EXPECT_EQ(checkSortArguments(true, 0, 0, 10), SortCheck::kBadColumn);
  EXPECT_EQ(checkSortArguments(true, 11, 10, 4), SortCheck::kBadKind);
  for (int kind : {3, 6, 8, 10}) EXPECT_EQ(checkSortArguments(true, 11, 0, kind), SortCheck::kOk);
  EXPECT_EQ(sortResultText(SortCheck::kOk), "排序完成");
  EXPECT_EQ(sortResultText(SortCheck::kNotReport), "该超级列表框不是报表类型");
  EXPECT_EQ(sortResultText(SortCheck::kBadColumn), "错误的列索引");
  EXPECT_EQ(sortResultText(SortCheck::kBadKind), "排序类型不对");
}

TEST(SortOrder, HeaderColumnsAndTheirKinds) {
  const std::optional<SortKind> expected[] = {kSortInteger, kSortText,     std::nullopt,
                                              std::nullopt, kSortDateTime, kSortDateTime,
                                              kSortText,    kSortInteger,  kSortInteger,
                                              kSortInteger, std::nullopt};
  for (int col = 0; col < 11; ++col) EXPECT_EQ(headerSortKind(col), expected[col]) << col;
  EXPECT_EQ(headerSortKind(-1), std::nullopt);
  EXPECT_EQ(headerSortKind(11), std::nullopt);
  EXPECT_FALSE(renumberAfterHeaderSort(0));
  EXPECT_TRUE(renumberAfterHeaderSort(5));
}

}  // namespace
}  // namespace dvx
