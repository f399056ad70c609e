// Individually coloured list cells, drawn through the custom-draw
// notifications that the list sends to its parent. Call on the UI thread.
#pragma once
#include <windows.h>

#include <optional>
#include <vector>

#include "ui/list/cell_colour_registry.h"

namespace dvx {

// Records one cell's colours; an omitted background is the list's current
// text background. Repaints the list.
void setCellColour(HWND parent, HWND list, int row, int column, COLORREF text,
                   std::optional<COLORREF> background = std::nullopt, bool repaint = true);

// Replaces all entries of one list with these text colours (backgrounds
// omitted), as clearing and recording each would, and repaints it once.
void replaceCellColours(HWND parent, HWND list, const std::vector<CellColourMap::TextColour>& cells);

// Removes all entries of one list and repaints it (nothing while the parent
// is not subclassed).
void clearCellColours(HWND list, bool repaint = true);

}  // namespace dvx
