// Times the list order for a large domain list sorted by expiry date, and
// checks it against the literal selection on a smaller list; then the row
// model at half a million rows: filling it, a sort by expiry, renumbering
// and the expiry colours.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "text/date_time.h"
#include "ui/list/cell_colour_registry.h"
#include "ui/list/expiry_colour.h"
#include "ui/list/row_model.h"
#include "ui/list/sort_order.h"

namespace {

double msSince(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

std::vector<std::string> expiryTexts(size_t n) {
  std::mt19937 rng(42);
  std::uniform_int_distribution<int> year(2010, 2035), month(1, 12), day(1, 28), odd(0, 49);
  std::vector<std::string> keys(n);
  char buf[32];
  for (auto& k : keys) {
    const int o = odd(rng);
    if (o == 0) { k = "找不到"; continue; }
    if (o == 1) { k.clear(); continue; }
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", year(rng), month(rng), day(rng));
    k = buf;
  }
  return keys;
}

// The selection the list's routine describes: ~n^2/2 comparisons.
std::vector<int> literalSelection(const std::vector<std::string>& texts) {
  std::vector<std::pair<double, int>> rest;
  for (size_t i = 0; i < texts.size(); ++i)
    rest.emplace_back(dvx::toDayCount(dvx::parseDateTime(texts[i])), static_cast<int>(i));
  std::vector<int> out;
  while (rest.size() >= 2) {
    size_t c = 0;
    for (size_t i = 1; i < rest.size(); ++i)
      if (rest[c].first >= rest[i].first) c = i;
    out.push_back(rest[c].second);
    rest.erase(rest.begin() + static_cast<long>(c));
  }
  if (!rest.empty()) out.push_back(rest[0].second);
  return out;
}

// The window's work on the rows without the window.
bool modelFigures(int n) {
  const auto expiries = expiryTexts(static_cast<size_t>(n));
  auto t0 = std::chrono::steady_clock::now();
  dvx::RowModel model;
  dvx::DomainRecord rec;
  rec.RegDate = "2010/01/01";
  rec.BaiduS = "12";
  rec.GoogleS = "0";
  rec.Registeracom = "Registrar";
  for (int i = 0; i < n; ++i) {
    model.append(i + 1, "bench" + std::to_string(i) + ".com");
    rec.ExpireDate = expiries[static_cast<size_t>(i)];
    dvx::fillRowFromRecord(model, i, rec, false);
  }
  std::printf("row model: %d rows filled in %.0f ms\n", n, msSince(t0));

  t0 = std::chrono::steady_clock::now();
  const std::vector<std::string> keys = model.column(5);
  const double keysMs = msSince(t0);
  const auto order = dvx::sortOrder(keys, false, false, dvx::kSortDateTime);
  const double orderMs = msSince(t0) - keysMs;
  if (!model.permute(order)) return false;
  std::printf("sort by expiry: keys %.0f ms, order %.0f ms, permutation %.0f ms\n", keysMs, orderMs,
              msSince(t0) - keysMs - orderMs);

  t0 = std::chrono::steady_clock::now();
  model.renumber();
  const double numberMs = msSince(t0);
  const dvx::DateTime now = dvx::nowLocal();
  std::vector<dvx::CellColourMap::TextColour> colours;
  const std::vector<std::string> expiry = model.column(5);
  for (int i = 0; i < n; ++i)
    if (const auto c = dvx::expiryColour(expiry[static_cast<size_t>(i)], now)) colours.push_back({i, 5, *c});
  const double colourMs = msSince(t0) - numberMs;
  dvx::CellColourMap map;
  map.replaceCellColours(1, colours, 0, 0xFFFFFF);
  std::printf("renumbering %.0f ms, expiry colours %.0f ms, %zu coloured cells recorded in %.0f ms\n", numberMs,
              colourMs, colours.size(), msSince(t0) - numberMs - colourMs);
  return model.rowOfId(n) >= 0;
}

}  // namespace

int main() {
  const auto keys = expiryTexts(50000);
  for (bool asc : {true, false}) {
    double best = 1e300;
    for (int run = 0; run < 5; ++run) {
      const auto t0 = std::chrono::steady_clock::now();
      const auto order = dvx::sortOrder(keys, asc, false, dvx::kSortDateTime);
      const double ms = msSince(t0);
      if (order.size() != keys.size()) return 1;
      if (ms < best) best = ms;
    }
    std::printf("order of %zu expiry dates, %s: %.1f ms (best of 5)\n", keys.size(),
                asc ? "ascending" : "descending", best);
  }

  const std::vector<std::string> small(keys.begin(), keys.begin() + 2000);
  auto t0 = std::chrono::steady_clock::now();
  const auto fast = dvx::sortOrder(small, true, false, dvx::kSortDateTime);
  const double fastMs = msSince(t0);
  t0 = std::chrono::steady_clock::now();
  const auto slow = literalSelection(small);
  const double slowMs = msSince(t0);
  std::printf("2000 dates: order %.2f ms, literal selection (no message pump) %.1f ms, same order: %s\n",
              fastMs, slowMs, fast == slow ? "yes" : "NO");
  return fast == slow && modelFigures(500000) ? 0 : 1;
}
