#include "ui/list/row_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/list/sort_order.h"

namespace dvx {
namespace {

RowModel threeRows() {
  RowModel m;
  m.append(4, "b.com");
  m.append(7, "a.com");
  m.append(9, "c.com");
  return m;
}

std::string column(const RowModel& m, int c) {
  std::string s;
  for (int r = 0; r < m.rowCount(); ++r) s += m.cell(r, c) + "|";
  return s;
}

TEST(RowModel, CellsKeepTheirTextsBesideEachOther) {
  RowModel m = threeRows();
  EXPECT_EQ(column(m, 0), "1|2|3|");
  EXPECT_EQ(column(m, 1), "b.com|a.com|c.com|");
  EXPECT_EQ(column(m, 10), "4|7|9|");
  for (int c = 2; c <= 9; ++c) EXPECT_EQ(column(m, c), "|||") << c;

  // Every text column is its own: writing one leaves its neighbours alone,
  // also when it grows, shrinks or empties again.
  for (int c = 1; c <= 9; ++c) EXPECT_TRUE(m.setCell(1, c, "v" + std::to_string(c) + "\xD6\xD0"));
  EXPECT_TRUE(m.setCell(1, 5, "2030/01/01 long enough to leave the short-string buffer"));
  EXPECT_TRUE(m.setCell(1, 1, ""));
  EXPECT_TRUE(m.setCell(1, 9, "x"));
  EXPECT_EQ(m.cell(1, 1), "");
  for (int c : {2, 3, 4, 6, 7, 8}) EXPECT_EQ(m.cell(1, c), "v" + std::to_string(c) + "\xD6\xD0") << c;
  EXPECT_EQ(m.cell(1, 5), "2030/01/01 long enough to leave the short-string buffer");
  EXPECT_EQ(m.cell(1, 9), "x");
  EXPECT_EQ(column(m, 4), "|v4\xD6\xD0||");

  // An unchanged text reports no change; a NUL ends a text as in a list view.
  EXPECT_FALSE(m.setCell(1, 9, "x"));
  EXPECT_TRUE(m.setCell(0, 6, std::string("Reg\0istrar", 10)));
  EXPECT_EQ(m.cell(0, 6), "Reg");
  EXPECT_FALSE(m.setCell(0, 6, "Reg"));
  m.append(12, std::string("d.com\0junk", 10));
  EXPECT_EQ(m.cell(3, 1), "d.com");

  // The number and the id are not texts to write; cells off the table are empty.
  EXPECT_FALSE(m.setCell(0, 0, "99"));
  EXPECT_FALSE(m.setCell(0, 10, "99"));
  EXPECT_FALSE(m.setCell(4, 1, "x"));
  EXPECT_EQ(m.cell(0, 0), "1");
  EXPECT_EQ(m.cell(-1, 1), "");
  EXPECT_EQ(m.cell(4, 1), "");
  EXPECT_EQ(m.cell(0, 11), "");
  EXPECT_EQ(m.id(4), 0);
}

TEST(RowModel, APermutationMovesWholeRowsAndRecordsAreFoundWhereTheyWent) {
  RowModel m = threeRows();
  m.setCell(0, 5, "2030/01/01");
  m.setCell(1, 5, "2031/01/01");
  m.setCell(2, 5, "2029/01/01");
  std::vector<std::string> keys;
  for (int r = 0; r < m.rowCount(); ++r) keys.push_back(m.cell(r, 5));
  ASSERT_TRUE(m.permute(sortOrder(keys, true, false, kSortDateTime)));
  EXPECT_EQ(column(m, 1), "c.com|b.com|a.com|");
  EXPECT_EQ(column(m, 5), "2029/01/01|2030/01/01|2031/01/01|");
  EXPECT_EQ(column(m, 0), "3|1|2|");  // numbers travel until renumbered
  // A whole column, read in storage order, comes out in display order.
  for (int c = 0; c < kListColumnCount; ++c) {
    const std::vector<std::string> texts = m.column(c);
    ASSERT_EQ(texts.size(), 3u);
    for (int r = 0; r < 3; ++r) EXPECT_EQ(texts[static_cast<size_t>(r)], m.cell(r, c)) << r << "," << c;
  }
  EXPECT_EQ(m.rowOfId(9), 0);
  EXPECT_EQ(m.rowOfId(4), 1);
  EXPECT_EQ(m.rowOfId(7), 2);
  EXPECT_EQ(m.rowOfId(5), -1);
  EXPECT_EQ(m.rowOfId(10), -1);

  // A write after the move lands on the moved row.
  ASSERT_TRUE(m.setCell(m.rowOfId(7), 6, "R7"));
  EXPECT_EQ(column(m, 6), "||R7|");

  m.renumber();
  EXPECT_EQ(column(m, 0), "1|2|3|");

  // Anything but a permutation changes nothing.
  EXPECT_FALSE(m.permute({0, 1}));
  EXPECT_FALSE(m.permute({0, 0, 1}));
  EXPECT_FALSE(m.permute({0, 1, 3}));
  EXPECT_FALSE(m.permute({-1, 1, 2}));
  EXPECT_EQ(column(m, 1), "c.com|b.com|a.com|");

  // Erasing keeps every other record where it is shown.
  m.erase(1);
  EXPECT_EQ(column(m, 1), "c.com|a.com|");
  EXPECT_EQ(m.rowOfId(4), -1);
  EXPECT_EQ(m.rowOfId(9), 0);
  EXPECT_EQ(m.rowOfId(7), 1);
  EXPECT_EQ(m.cell(1, 6), "R7");
  m.erase(5);  // off the table: nothing
  EXPECT_EQ(m.rowCount(), 2);
  ASSERT_TRUE(m.permute({1, 0}));
  EXPECT_EQ(m.rowOfId(7), 0);
  EXPECT_EQ(m.rowOfId(9), 1);

  m.clear();
  EXPECT_EQ(m.rowCount(), 0);
  EXPECT_EQ(m.rowOfId(7), -1);
}

TEST(RowModel, RecordsAreFoundWhateverOrderTheirIdsCameIn) {
  RowModel m;
  for (int32_t id : {30, 10, 20, 10000, -5}) m.append(id, "d" + std::to_string(id));
  for (int r = 0; r < m.rowCount(); ++r) EXPECT_EQ(m.rowOfId(m.id(r)), r);
  EXPECT_EQ(m.rowOfId(15), -1);
  ASSERT_TRUE(m.permute({4, 3, 2, 1, 0}));
  EXPECT_EQ(m.rowOfId(30), 4);
  EXPECT_EQ(m.cell(m.rowOfId(10000), 1), "d10000");
}

TEST(RowModel, TypeToFindMatchesTheNumberColumnLikeAListView) {
  RowModel m;
  for (int i = 0; i < 25; ++i) m.append(100 + i, "n" + std::to_string(i) + ".com");
  // Prefix of the shown number, from the start row on.
  EXPECT_EQ(m.find("2", 0, true, true), 1);    // "2"
  EXPECT_EQ(m.find("2", 2, true, true), 19);   // "20" after "2"
  EXPECT_EQ(m.find("21", 2, true, true), 20);
  EXPECT_EQ(m.find("1", 1, true, true), 9);    // "10"
  // Wrapping goes on from the first row; without it the end is the end.
  EXPECT_EQ(m.find("3", 5, true, true), 2);
  EXPECT_EQ(m.find("3", 5, true, false), -1);
  EXPECT_EQ(m.find("2", 22, true, false), 22);
  // Without `partial` the whole text must match.
  EXPECT_EQ(m.find("2", 2, false, true), 1);
  EXPECT_EQ(m.find("25", 0, false, true), 24);
  EXPECT_EQ(m.find("250", 0, true, true), -1);
  EXPECT_EQ(m.find("", 0, true, true), -1);
  EXPECT_EQ(m.find("x", 0, true, true), -1);
  // A start off the list counts from the first row.
  EXPECT_EQ(m.find("1", 99, true, false), 0);
  // After a sort by number the search follows the new order.
  std::vector<int> reversed;
  for (int i = 24; i >= 0; --i) reversed.push_back(i);
  ASSERT_TRUE(m.permute(reversed));
  EXPECT_EQ(m.find("2", 0, true, true), 0);  // "25" is first now
  EXPECT_EQ(m.find("1", 0, true, true), 6);  // "25".."20" sit before "19"
  EXPECT_EQ(RowModel().find("1", 0, true, true), -1);
}

TEST(RowModel, RowsAreFilledFromRecordsWithTheStoredRegistrarCleaned) {
  RowModel m = threeRows();
  DomainRecord d;
  d.RegDate = "2010/01/01";
  d.ExpireDate = "2040/01/01";
  d.BaiduS = "12";
  d.AAA1 = std::string("k\0tail", 6);  // ends at its NUL, as in a list view
  d.GoogleS = "0";
  d.Registeracom = "\xA3\xBA  Reg ";  // a full-width colon, two blanks, a trailing blank
  d.Registrant = "Owner";
  d.DomainAdmin = "Admin";
  d.LastUpdate = "2026/01/01";
  EXPECT_TRUE(fillRowFromRecord(m, 2, d, false));
  std::string shown;
  for (int c = 0; c <= 10; ++c) shown += m.cell(2, c) + "|";
  EXPECT_EQ(shown, "3|c.com|Owner|Admin|2010/01/01|2040/01/01|Reg |12|k|0|9|");
  EXPECT_FALSE(fillRowFromRecord(m, 2, d, false));  // nothing new: no redraw needed
  EXPECT_TRUE(fillRowFromRecord(m, 2, d, true));    // as looked up: kept as it is
  EXPECT_EQ(m.cell(2, 6), "\xA3\xBA  Reg ");
  EXPECT_TRUE(fillRowFromRecord(m, 2, DomainRecord(), true));
  for (int c = 2; c <= 9; ++c) EXPECT_EQ(m.cell(2, c), "") << c;
  EXPECT_EQ(m.cell(2, 1), "c.com");
  EXPECT_FALSE(fillRowFromRecord(m, 3, d, false));  // no such row
}

TEST(RowModel, FindDomainSearchesInsideNamesAndWrapsOnce) {
  RowModel m;
  m.append(1, "a.com");
  m.append(2, "Shop.CN");
  m.append(3, "b.com");
  m.append(4, "myshop.net");
  m.append(5, "\xB0\x61.cn");  // a Chinese character whose second byte is "a"
  // Shown in another order: 5 4 3 2 1.
  ASSERT_TRUE(m.permute({4, 3, 2, 1, 0}));
  EXPECT_EQ(m.findDomain("SHOP", -1, true), 1);    // myshop.net
  EXPECT_EQ(m.findDomain("SHOP", 1, true), 3);     // Shop.CN
  EXPECT_EQ(m.findDomain("shop", 3, true), 1);     // past the end, from the top again
  EXPECT_EQ(m.findDomain("shop", 1, false), 3);    // upwards, past the top
  EXPECT_EQ(m.findDomain("shop.cn", 3, true), 3);  // the selected row itself comes last
  EXPECT_EQ(m.findDomain("a", -1, true), 4);       // never from a trail byte: a.com, not row 0
  EXPECT_EQ(m.findDomain("\xB0\x61", -1, false), 0);
  EXPECT_EQ(m.findDomain("org", 2, true), -1);
  EXPECT_EQ(m.findDomain("", 2, true), -1);
}

}  // namespace
}  // namespace dvx
