// The registry of individually coloured list cells, keyed by list and by
// (row, column) position. Worker threads record colours while the UI thread
// reads them to paint, so every operation runs under the map's own lock.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace dvx {

// A list window as the registry knows it: its handle as an integer.
using ListId = std::uintptr_t;

struct CellColours {
  uint32_t text = 0;
  uint32_t background = 0;
  bool operator==(const CellColours& o) const {
    return text == o.text && background == o.background;
  }
};

struct CellColourEntry {
  int32_t row = 0, column = 0;
  CellColours colours;
};

class CellColourMap {
 public:
  // Records one cell. An omitted background means the list's own text
  // background. Storing the list's own colours removes the entry instead;
  // for a cell that already has one, the background must be given and equal
  // the list's (an omitted one counts as 0). Returns true when the registry
  // was not installed: it is marked installed now and the caller subclasses
  // the parent window.
  bool setCellColour(ListId list, int32_t row, int32_t column, uint32_t text,
                     std::optional<uint32_t> background, uint32_t listText,
                     uint32_t listBackground);

  // What clearing one list's entries and then recording each of these cells
  // in turn (background omitted) gives, under one lock: the list's colours
  // recomputed at once. Returns true as setCellColour does.
  struct TextColour {
    int32_t row = 0, column = 0;
    uint32_t text = 0;
  };
  bool replaceCellColours(ListId list, const std::vector<TextColour>& cells, uint32_t listText,
                          uint32_t listBackground);

  // Empties one list's entries, keeping its record. Does nothing while the
  // registry is not installed; returns whether it acted (then repaint).
  bool clearCellColours(ListId list);

  std::optional<CellColours> lookup(ListId list, int32_t row, int32_t column) const;
  bool hasRecord(ListId list) const;
  // One list's entries ordered by row, then column.
  std::vector<CellColourEntry> entries(ListId list) const;

  bool installed() const;
  // The parent's window procedure that the subclass replaced.
  void setPreviousProcedure(std::uintptr_t proc);
  std::uintptr_t previousProcedure() const;

  // The parent is closing: forget every record, mark the registry not
  // installed and hand back the procedure to put back.
  std::uintptr_t discardAll();

 private:
  using Cells = std::map<std::pair<int32_t, int32_t>, CellColours>;
  static void record(Cells& cells, int32_t row, int32_t column, uint32_t text,
                     std::optional<uint32_t> background, uint32_t listText, uint32_t listBackground);
  mutable std::mutex mutex_;
  std::map<ListId, Cells> lists_;
  bool installed_ = false;
  std::uintptr_t previous_ = 0;
};

// The process's one registry.
CellColourMap& cellColourMap();

}  // namespace dvx
