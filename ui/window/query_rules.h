// Pure rules of the query job: which records are looked up, and which row a
// finished refresh selects again.
#pragma once
#include "store/domain_record.h"

namespace dvx {

// A record is looked up when a date, the Baidu count, the update date or the
// registrar (full-width colons aside) is missing; in the failed-items mode
// also when either date reads "找不到".
bool needsLookup(const DomainRecord& record, bool failedItemsMode);

// The row a finished refresh selects for the remembered row, or -1 for none.
// A remembered row past the end (the last row was deleted) gives the row
// before it; row 0 and the reset value -1 are never re-selected.
int rowToReselect(int remembered, int rowCount);

}  // namespace dvx
