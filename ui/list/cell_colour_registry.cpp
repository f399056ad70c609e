#include "ui/list/cell_colour_registry.h"

namespace dvx {

bool CellColourMap::setCellColour(ListId list, int32_t row, int32_t column, uint32_t text,
                                  std::optional<uint32_t> background, uint32_t listText,
                                  uint32_t listBackground) {
  std::lock_guard<std::mutex> lock(mutex_);
  const bool mustInstall = !installed_;
  installed_ = true;
  record(lists_[list], row, column, text, background, listText, listBackground);
  return mustInstall;
}

bool CellColourMap::replaceCellColours(ListId list, const std::vector<TextColour>& cells,
                                       uint32_t listText, uint32_t listBackground) {
  std::lock_guard<std::mutex> lock(mutex_);
  const bool mustInstall = !installed_;
  installed_ = true;
  Cells& entries = lists_[list];
  entries.clear();
  for (const TextColour& c : cells)
    record(entries, c.row, c.column, c.text, std::nullopt, listText, listBackground);
  return mustInstall;
}

void CellColourMap::record(Cells& cells, int32_t row, int32_t column, uint32_t text,
                           std::optional<uint32_t> background, uint32_t listText,
                           uint32_t listBackground) {
  const uint32_t effective = background.value_or(listBackground);
  const bool listOwnText = text == listText;
  const auto key = std::make_pair(row, column);
  auto it = cells.find(key);
  if (it != cells.end()) {
    // An existing entry goes only when the background was given as the
    // list's own; an omitted one (0) matches only a black list background.
    if (listOwnText && background.value_or(0) == listBackground)
      cells.erase(it);
    else
      it->second = CellColours{text, effective};
  } else if (!(listOwnText && effective == listBackground)) {
    // A whole column recoloured comes in row order: the end is the place.
    cells.emplace_hint(cells.end(), key, CellColours{text, effective});
  }
}

bool CellColourMap::clearCellColours(ListId list) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!installed_) return false;
  auto it = lists_.find(list);
  if (it != lists_.end()) it->second.clear();
  return true;
}

std::optional<CellColours> CellColourMap::lookup(ListId list, int32_t row, int32_t column) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto l = lists_.find(list);
  if (l == lists_.end()) return std::nullopt;
  auto c = l->second.find(std::make_pair(row, column));
  if (c == l->second.end()) return std::nullopt;
  return c->second;
}

bool CellColourMap::hasRecord(ListId list) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lists_.count(list) != 0;
}

std::vector<CellColourEntry> CellColourMap::entries(ListId list) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<CellColourEntry> out;
  auto l = lists_.find(list);
  if (l == lists_.end()) return out;
  for (const auto& [key, colours] : l->second)
    out.push_back(CellColourEntry{key.first, key.second, colours});
  return out;
}

bool CellColourMap::installed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return installed_;
}

void CellColourMap::setPreviousProcedure(std::uintptr_t proc) {
  std::lock_guard<std::mutex> lock(mutex_);
  previous_ = proc;
}

std::uintptr_t CellColourMap::previousProcedure() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return previous_;
}

std::uintptr_t CellColourMap::discardAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  lists_.clear();
  installed_ = false;
  const std::uintptr_t prev = previous_;
  previous_ = 0;
  return prev;
}

CellColourMap& cellColourMap() {
  static CellColourMap map;
  return map;
}

}  // namespace dvx
