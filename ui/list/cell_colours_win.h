// Individually coloured list cells, drawn through the custom-draw
// notifications that the list sends to its parent. Call on the UI thread.
#pragma once
#include <windows.h>

#include <optional>

namespace dvx {

// Records one cell's colours; an omitted background is the list's current
// text background. Repaints the list.
void setCellColour(HWND parent, HWND list, int row, int column, COLORREF text,
                   std::optional<COLORREF> background = std::nullopt, bool repaint = true);

// Removes all entries of one list and repaints it (nothing while the parent
// is not subclassed).
void clearCellColours(HWND list, bool repaint = true);

}  // namespace dvx
