// Ordering of a report list by one key column. The order is the one the
// list's selection sort gives (the later of two equal keys is taken first,
// so ties come out reversed), computed without the quadratic selection.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace dvx {

// Data-type codes of the program; integer sorts exactly like number.
enum SortKind { kSortInteger = 3, kSortNumber = 6, kSortDateTime = 8, kSortText = 10 };

bool isSortKind(int kind);

// The output order: position i holds the original row index of the row that
// goes to display position i. An unknown kind leaves the order unchanged.
std::vector<int> sortOrder(const std::vector<std::string>& keys, bool ascending,
                           bool caseSensitive, int kind);

// Outcome of the argument checks of sortList, in the order they are made.
enum class SortCheck { kOk, kNotReport, kBadColumn, kBadKind };

SortCheck checkSortArguments(bool isReport, int columnCount, int keyColumn, int kind);

// The result text of sortList for a check outcome: "排序完成" for kOk.
std::string sortResultText(SortCheck check);

// The kind a header click on a domain-list column sorts by; nothing for the
// columns that are not sortable (2, 3, 10) and for indexes off the list.
std::optional<SortKind> headerSortKind(int column);

// After a header sort every column but 0 renumbers and recolours the rows;
// a sort by the number column lets the numbers travel with their rows.
inline bool renumberAfterHeaderSort(int column) { return column != 0; }

}  // namespace dvx
