#include <gtest/gtest.h>

#include "ui/window/query_rules.h"

namespace dvx {
namespace {

DomainRecord complete() {
  DomainRecord r;
  r.id = 1;
  r.Domain = "a.com";
  r.RegDate = "2010/01/01";
  r.ExpireDate = "2030/01/01";
  r.BaiduS = "0";
  r.LastUpdate = "2024/05/10";
  r.Registeracom = "GoDaddy";
  return r;
}

TEST(QueryRules, NeedsLookup) {
  EXPECT_FALSE(needsLookup(complete(), false));
  EXPECT_FALSE(needsLookup(complete(), true));
  for (auto field : {&DomainRecord::RegDate, &DomainRecord::ExpireDate, &DomainRecord::BaiduS,
                     &DomainRecord::LastUpdate, &DomainRecord::Registeracom}) {
    DomainRecord r = complete();
    r.*field = "";
    EXPECT_TRUE(needsLookup(r, false));
  }
  DomainRecord colons = complete();
  colons.Registeracom = "：：";
  EXPECT_TRUE(needsLookup(colons, false));
  colons.Registeracom = " ";  // a blank registrar counts as present
  EXPECT_FALSE(needsLookup(colons, false));

  DomainRecord failed = complete();
  failed.ExpireDate = "找不到";
  EXPECT_FALSE(needsLookup(failed, false));
  EXPECT_TRUE(needsLookup(failed, true));
  failed = complete();
  failed.RegDate = "找不到";
  EXPECT_TRUE(needsLookup(failed, true));
  failed.RegDate = "无记录";
  EXPECT_FALSE(needsLookup(failed, true));
  // Unused columns do not matter.
  DomainRecord sparse = complete();
  sparse.GoogleS = sparse.AAA1 = sparse.Registrant = sparse.DomainAdmin = "";
  EXPECT_FALSE(needsLookup(sparse, false));
}

TEST(QueryRules, RememberedRow) {
  EXPECT_EQ(rowToReselect(3, 10), 3);
  EXPECT_EQ(rowToReselect(9, 10), 9);
  EXPECT_EQ(rowToReselect(10, 10), 9);  // the last row was deleted
  EXPECT_EQ(rowToReselect(0, 10), -1);  // row 0 is never re-selected
  EXPECT_EQ(rowToReselect(-1, 10), -1);
  EXPECT_EQ(rowToReselect(1, 1), 0);
  EXPECT_EQ(rowToReselect(1, 0), -1);
  EXPECT_EQ(rowToReselect(7, 3), -1);  // beyond even the row before it
}

}  // namespace
}  // namespace dvx
