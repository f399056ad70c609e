#include "ui/list/sort_order.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "text/date_time.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

// strcmp over unsigned bytes: a text ends at its first NUL, as a C string would.
int compareBytes(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  const int r = n ? std::memcmp(a.data(), b.data(), n) : 0;
  if (r != 0) return r;
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::string textKey(const std::string& cell, bool caseSensitive) {
  std::string key = cell.substr(0, cell.find('\0'));
  return caseSensitive ? key : asciiUpper(key);
}

std::vector<int> reversedIndexes(size_t n) {
  std::vector<int> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = static_cast<int>(n - 1 - i);
  return order;
}

std::vector<int> orderTexts(const std::vector<std::string>& cells, bool ascending,
                            bool caseSensitive) {
  std::vector<std::string> keys;
  keys.reserve(cells.size());
  for (const auto& c : cells) keys.push_back(textKey(c, caseSensitive));
  // The selection takes the last of equal keys first; a stable sort of the
  // reversed rows gives exactly that, the order of keys being total.
  std::vector<int> order = reversedIndexes(keys.size());
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    const int r = compareBytes(keys[a], keys[b]);
    return ascending ? r < 0 : r > 0;
  });
  return order;
}

// The take rule of one numeric kind: does the later pair p replace the
// candidate c?
struct TakeRule {
  bool ascending;
  double tolerance;  // 1e-7 for numbers, 0 for dates
  bool operator()(double c, double p) const {
    if (tolerance == 0) return ascending ? c >= p : c <= p;
    return ascending ? c - p >= -tolerance : c - p <= tolerance;
  }
};

// The literal selection over `rows` (original indexes in display order),
// appending the picks to `out`.
void selectInOrder(std::vector<int> rows, const std::vector<double>& values, const TakeRule& take,
                   std::vector<int>& out) {
  while (rows.size() >= 2) {
    size_t cand = 0;
    for (size_t i = 1; i < rows.size(); ++i)
      if (take(values[rows[cand]], values[rows[i]])) cand = i;
    out.push_back(rows[cand]);
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(cand));
  }
  if (!rows.empty()) out.push_back(rows.front());
}

// Numbers are compared with a tolerance, which is not transitive, so the
// selection's order is reproduced cluster by cluster. Sorted by value, the
// keys fall into clusters separated by gaps the take rule never bridges: a
// later key of a further cluster is never taken, one of a nearer cluster
// always is, so every pass picks from the nearest remaining cluster, and
// within it the pick depends only on that cluster's keys in display order.
// A cluster of one value comes out reversed (the last equal key wins); a
// cluster of several values close together is run through the selection.
std::vector<int> orderValues(const std::vector<double>& values, const TakeRule& take) {
  const size_t n = values.size();
  std::vector<int> out;
  out.reserve(n);
  const bool hasNaN = std::any_of(values.begin(), values.end(), [](double v) { return std::isnan(v); });
  if (hasNaN) {  // no order to sort by; only the selection itself knows
    std::vector<int> rows(n);
    std::iota(rows.begin(), rows.end(), 0);
    selectInOrder(std::move(rows), values, take, out);
    return out;
  }
  std::vector<int> sorted(n);
  std::iota(sorted.begin(), sorted.end(), 0);
  std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) {
    return take.ascending ? values[a] < values[b] : values[a] > values[b];
  });
  size_t begin = 0;
  while (begin < n) {
    size_t end = begin + 1;
    bool oneValue = true;
    while (end < n) {
      const double prev = values[sorted[end - 1]], cur = values[sorted[end]];
      if (prev != cur) {
        if (!take(prev, cur)) break;
        oneValue = false;
      }
      ++end;
    }
    if (oneValue) {
      // Equal keys: the last wins when the rule takes an equal key (it does
      // for every finite value; two infinities differ by NaN and do not).
      const double v = values[sorted[begin]];
      if (take(v, v))
        for (size_t i = end; i-- > begin;) out.push_back(sorted[i]);
      else
        for (size_t i = begin; i < end; ++i) out.push_back(sorted[i]);
    } else {
      std::vector<int> rows(sorted.begin() + static_cast<std::ptrdiff_t>(begin),
                            sorted.begin() + static_cast<std::ptrdiff_t>(end));
      std::sort(rows.begin(), rows.end());
      selectInOrder(std::move(rows), values, take, out);
    }
    begin = end;
  }
  return out;
}

bool dateBefore(const DateTime& a, const DateTime& b) {
  const int ka[] = {a.year, a.month, a.day, a.hour, a.minute, a.second};
  const int kb[] = {b.year, b.month, b.day, b.hour, b.minute, b.second};
  return std::lexicographical_compare(ka, ka + 6, kb, kb + 6);
}

double dateKey(const std::string& text) {
  static const DateTime kFirst{100, 1, 1, 0, 0, 0};
  static const DateTime kLast{9999, 12, 31, 23, 59, 59};
  DateTime d = parseDateTime(text);
  if (dateBefore(d, kFirst)) d = kFirst;
  if (dateBefore(kLast, d)) d = kLast;
  return toDayCount(d);
}

}  // namespace

bool isSortKind(int kind) {
  return kind == kSortInteger || kind == kSortNumber || kind == kSortDateTime ||
         kind == kSortText;
}

std::vector<int> sortOrder(const std::vector<std::string>& keys, bool ascending,
                           bool caseSensitive, int kind) {
  std::vector<double> values;
  switch (kind) {
    case kSortText:
      return orderTexts(keys, ascending, caseSensitive);
    case kSortInteger:
    case kSortNumber:
      values.reserve(keys.size());
      for (const auto& k : keys) values.push_back(toNumber(k));
      return orderValues(values, TakeRule{ascending, 1e-7});
    case kSortDateTime:
      values.reserve(keys.size());
      for (const auto& k : keys) values.push_back(dateKey(k));
      return orderValues(values, TakeRule{ascending, 0});
    default: {
      std::vector<int> same(keys.size());
      std::iota(same.begin(), same.end(), 0);
      return same;
    }
  }
}

SortCheck checkSortArguments(bool isReport, int columnCount, int keyColumn, int kind) {
  if (!isReport) return SortCheck::kNotReport;
  if (keyColumn > columnCount - 1 || keyColumn < 0) return SortCheck::kBadColumn;
  if (!isSortKind(kind)) return SortCheck::kBadKind;
  return SortCheck::kOk;
}

std::string sortResultText(SortCheck check) {
  switch (check) {
    case SortCheck::kNotReport: return "该超级列表框不是报表类型";
    case SortCheck::kBadColumn: return "错误的列索引";
    case SortCheck::kBadKind: return "排序类型不对";
    case SortCheck::kOk: break;
  }
  return "排序完成";
}

std::optional<SortKind> headerSortKind(int column) {
  switch (column) {
    case 0: return kSortInteger;
    case 1: return kSortText;
    case 4:
    case 5: return kSortDateTime;
    case 6: return kSortText;
    case 7:
    case 8:
    case 9: return kSortInteger;
    default: return std::nullopt;  // 2, 3, 10 and anything off the list
  }
}

}  // namespace dvx
