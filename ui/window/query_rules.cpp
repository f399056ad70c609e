#include "ui/window/query_rules.h"

#include "text/gbk_text.h"

namespace dvx {

bool needsLookup(const DomainRecord& r, bool failedItemsMode) {
  if (r.RegDate.empty() || r.ExpireDate.empty() || r.BaiduS.empty() || r.LastUpdate.empty())
    return true;
  if (removeAll(r.Registeracom, "：").empty()) return true;
  return failedItemsMode && (r.RegDate == "找不到" || r.ExpireDate == "找不到");
}

int rowToReselect(int remembered, int rowCount) {
  if (remembered <= 0) return -1;
  const int row = remembered > rowCount - 1 ? remembered - 1 : remembered;
  // Selecting a row the list does not have would select nothing.
  return row < rowCount ? row : -1;
}

}  // namespace dvx
