#include "ui/list/row_model.h"

#include <algorithm>
#include <cstring>

#include "text/gbk_text.h"
#include "ui/list/expiry_colour.h"

namespace dvx {

namespace {

constexpr int kTextColumns = kListColumnCount - 2;  // 1..9, between the number and the id

bool isTextColumn(int column) { return column > kNumberColumn && column < kIdColumn; }

// Byte range of text column `column` inside a row's packed texts, which
// always end each of their nine texts with a NUL. A plain walk: the texts
// are short, and a search call per column would cost more than the bytes.
void textRange(const std::string& texts, int column, size_t& begin, size_t& end) {
  const char* p = texts.data();
  for (int c = 1; c < column; ++c) {
    while (*p) ++p;
    ++p;
  }
  const char* e = p;
  while (*e) ++e;
  begin = static_cast<size_t>(p - texts.data());
  end = static_cast<size_t>(e - texts.data());
}

}  // namespace

void RowModel::clear() {
  // Swapped out, not cleared: half a million rows give their memory back.
  std::vector<Row>().swap(rows_);
  std::vector<uint32_t>().swap(order_);
  std::vector<uint32_t>().swap(position_);
  idsAscending_ = true;
}

void RowModel::append(int32_t id, const std::string& domain) {
  if (!rows_.empty() && id <= rows_.back().id) idsAscending_ = false;
  Row row;
  row.id = id;
  row.number = rowCount() + 1;
  const std::string name = domain.substr(0, domain.find('\0'));
  row.texts.reserve(name.size() + kTextColumns);
  row.texts = name;
  row.texts.append(kTextColumns, '\0');
  const auto index = static_cast<uint32_t>(rows_.size());
  rows_.push_back(std::move(row));
  position_.push_back(static_cast<uint32_t>(order_.size()));
  order_.push_back(index);
}

const RowModel::Row* RowModel::rowAt(int row) const {
  if (row < 0 || row >= rowCount()) return nullptr;
  return &rows_[order_[static_cast<size_t>(row)]];
}

std::string RowModel::cell(int row, int column) const {
  const Row* r = rowAt(row);
  return r ? textOf(*r, column) : std::string();
}

std::string RowModel::textOf(const Row& row, int column) {
  if (column == kNumberColumn) return std::to_string(row.number);
  if (column == kIdColumn) return std::to_string(row.id);
  if (!isTextColumn(column)) return std::string();
  size_t begin = 0, end = 0;
  textRange(row.texts, column, begin, end);
  return row.texts.substr(begin, end - begin);
}

std::vector<std::string> RowModel::column(int column) const {
  std::vector<std::string> texts(rows_.size());
  // Read in storage order: after a sort, display order would jump about
  // memory for every row.
  for (size_t i = 0; i < rows_.size(); ++i) texts[position_[i]] = textOf(rows_[i], column);
  return texts;
}

int32_t RowModel::id(int row) const {
  const Row* r = rowAt(row);
  return r ? r->id : 0;
}

bool RowModel::setCell(int row, int column, const std::string& text) {
  if (!rowAt(row) || !isTextColumn(column)) return false;
  std::string& texts = rows_[order_[static_cast<size_t>(row)]].texts;
  size_t begin = 0, end = 0;
  textRange(texts, column, begin, end);
  const size_t length = std::min(text.find('\0'), text.size());
  if (end - begin == length && texts.compare(begin, length, text, 0, length) == 0) return false;
  // Built at its exact size: a row's texts are its only heap block.
  std::string packed;
  packed.reserve(texts.size() - (end - begin) + length);
  packed.append(texts, 0, begin).append(text, 0, length).append(texts, end, std::string::npos);
  texts.swap(packed);
  return true;
}

bool RowModel::setTexts(int row, const RowTexts& texts) {
  if (!rowAt(row)) return false;
  size_t size = 0;
  for (const std::string_view text : texts) size += std::min(text.find('\0'), text.size()) + 1;
  std::string packed;
  packed.reserve(size);
  for (const std::string_view text : texts) packed.append(text.substr(0, text.find('\0'))).push_back('\0');
  std::string& current = rows_[order_[static_cast<size_t>(row)]].texts;
  if (packed == current) return false;
  current.swap(packed);
  return true;
}

void RowModel::renumber() {
  for (size_t i = 0; i < order_.size(); ++i) rows_[order_[i]].number = static_cast<int32_t>(i + 1);
}

bool RowModel::permute(const std::vector<int>& order) {
  const size_t n = order_.size();
  if (order.size() != n) return false;
  std::vector<char> seen(n, 0);
  std::vector<uint32_t> next(n);
  for (size_t i = 0; i < n; ++i) {
    const int from = order[i];
    if (from < 0 || static_cast<size_t>(from) >= n || seen[static_cast<size_t>(from)]) return false;
    seen[static_cast<size_t>(from)] = 1;
    next[i] = order_[static_cast<size_t>(from)];
  }
  order_.swap(next);
  indexPositions();
  return true;
}

void RowModel::erase(int row) {
  if (!rowAt(row)) return;
  const uint32_t index = order_[static_cast<size_t>(row)];
  rows_.erase(rows_.begin() + index);
  order_.erase(order_.begin() + row);
  for (uint32_t& i : order_)
    if (i > index) --i;
  position_.resize(rows_.size());
  indexPositions();
}

void RowModel::indexPositions() {
  for (size_t p = 0; p < order_.size(); ++p) position_[order_[p]] = static_cast<uint32_t>(p);
}

int RowModel::rowOfId(int32_t id) const {
  if (idsAscending_) {
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), id,
                                     [](const Row& r, int32_t key) { return r.id < key; });
    if (it == rows_.end() || it->id != id) return -1;
    return static_cast<int>(position_[static_cast<size_t>(it - rows_.begin())]);
  }
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].id == id) return static_cast<int>(position_[i]);
  return -1;
}

int RowModel::find(const std::string& text, int start, bool partial, bool wrap) const {
  const int n = rowCount();
  if (text.empty() || n == 0) return -1;
  const std::string wanted = asciiUpper(text);
  auto matches = [&](int row) {
    const std::string shown = asciiUpper(cell(row, kNumberColumn));
    if (!partial) return shown == wanted;
    return shown.size() >= wanted.size() && shown.compare(0, wanted.size(), wanted) == 0;
  };
  const int first = start < 0 || start >= n ? 0 : start;
  for (int r = first; r < n; ++r)
    if (matches(r)) return r;
  if (wrap)
    for (int r = 0; r < first; ++r)
      if (matches(r)) return r;
  return -1;
}

int RowModel::findDomain(const std::string& needle, int fromRow, bool down) const {
  const int n = rowCount();
  if (needle.empty() || n == 0) return -1;
  const std::string wanted = asciiLower(needle);
  // A match holds the needle's first byte in one of its cases: a row
  // without it is passed over without being folded.
  const char first = wanted[0];
  const char firstUpper = first >= 'a' && first <= 'z' ? static_cast<char>(first - 32) : first;
  std::string folded;  // one buffer for every row: no allocation per row
  auto matches = [&](const Row& row) {
    // The domain is the first of a row's packed texts.
    const char* const domain = row.texts.c_str();
    const size_t length = row.texts.find('\0');
    if (std::memchr(domain, first, length) == nullptr &&
        (firstUpper == first || std::memchr(domain, firstUpper, length) == nullptr))
      return false;
    folded.clear();
    for (const char* p = domain; *p; ++p) {
      const auto c = static_cast<unsigned char>(*p);
      if (isGbkLead(c) && p[1] != '\0') {
        folded.push_back(*p);
        folded.push_back(*++p);  // a trail byte is never folded
      } else {
        folded.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : *p);
      }
    }
    if (folded.size() < wanted.size()) return false;
    const size_t last = folded.size() - wanted.size();
    for (size_t i = 0; i <= last;) {
      if (folded.compare(i, wanted.size(), wanted) == 0) return true;
      i += isGbkLead(static_cast<unsigned char>(folded[i])) && i + 1 < folded.size() ? 2 : 1;
    }
    return false;
  };
  // Every row is looked at in storage order, which after a sort is not the
  // display order: walking the display order would jump about memory for
  // every row, several times slower at half a million rows. The match
  // nearest the start, in the direction of the search, wins; `fromRow`
  // itself is farthest.
  const bool fromNone = fromRow < 0 || fromRow >= n;
  const int start = fromNone ? (down ? 0 : n - 1) : (fromRow + (down ? 1 : n - 1)) % n;
  int best = -1, bestDistance = n;
  for (size_t i = 0; i < rows_.size(); ++i) {
    const int position = static_cast<int>(position_[i]);
    const int distance = down ? (position - start + n) % n : (start - position + n) % n;
    if (distance >= bestDistance || !matches(rows_[i])) continue;
    best = position;
    bestDistance = distance;
  }
  return best;
}

bool fillRowFromRecord(RowModel& model, int row, const DomainRecord& d, bool lookedUp) {
  const std::string domain = model.cell(row, 1);
  const std::string registrar = lookedUp ? d.Registeracom : cleanStoredRegistrar(d.Registeracom);
  return model.setTexts(row, {domain, d.Registrant, d.DomainAdmin, d.RegDate, d.ExpireDate, registrar, d.BaiduS,
                              d.AAA1, d.GoogleS});
}

}  // namespace dvx
