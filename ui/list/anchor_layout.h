// Resize anchoring: a control keeps its distances to the edges of its
// parent's client area that its anchor type names. The offsets are measured
// once at registration and every resize computes from them afresh, so the
// layout never drifts. They are measured at the parent's DPI of the time;
// at another DPI each is scaled from that measurement.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

namespace dvx {

// A window as the registry knows it: its handle as an integer.
using WindowId = std::uintptr_t;

struct AnchorFlags {
  bool left = false, top = false, right = false, bottom = false;
  bool operator==(const AnchorFlags& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// Types 1 to 6; any other value anchors nothing.
std::optional<AnchorFlags> anchorFlags(int anchorType);

struct AnchorRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct AnchorRecord {
  WindowId parent = 0, control = 0;
  int32_t left = 0;          // inside the parent's client area
  int32_t top = 0;
  int32_t rightMargin = 0;   // control's right edge to the client's right edge
  int32_t bottomMargin = 0;
  int32_t width = 0, height = 0;
  AnchorFlags flags;
  int dpi = 96;              // the parent's DPI when it was measured
};

// Measures a control from screen rectangles. The parent's left, right and
// bottom frames count as equally thick (half the width difference between
// window and client); the rest of the height difference is caption and top
// frame.
AnchorRecord measureAnchor(WindowId parent, WindowId control, const AnchorRect& parentWindow,
                           int32_t parentClientWidth, int32_t parentClientHeight,
                           const AnchorRect& controlWindow, AnchorFlags flags);

struct AnchorPlacement {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const AnchorPlacement& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height;
  }
};

// Where the control goes for a new client size at `dpi` (0: the DPI it was
// measured at); sizes are not clamped.
AnchorPlacement placeAnchored(const AnchorRecord& record, int32_t clientWidth,
                              int32_t clientHeight, int dpi = 0);

enum class AnchorResult { kIgnored, kRegistered, kRegisteredNewParent };

// The process's anchoring records and anchored parents, in registration
// order; nothing is ever removed. Used on the UI thread only.
class AnchorRegistry {
 public:
  // Registers (or re-registers, overwriting in place) one control. On
  // kRegisteredNewParent the caller subclasses the parent and reports the
  // replaced procedure with setPreviousProcedure. `dpi` is the parent's DPI
  // now; a new parent is laid out at it until setParentDpi says otherwise.
  AnchorResult anchor(int anchorType, WindowId parent, WindowId control,
                      const AnchorRect& parentWindow, int32_t parentClientWidth,
                      int32_t parentClientHeight, const AnchorRect& controlWindow, int dpi = 96);

  struct Move {
    WindowId control;
    AnchorPlacement placement;
  };
  // Every control of the parent with its place for the new client size, at
  // the parent's current DPI.
  std::vector<Move> layout(WindowId parent, int32_t clientWidth, int32_t clientHeight) const;

  bool isAnchoredParent(WindowId parent) const;
  // The parent moved to a screen of another DPI (ignored for an unknown parent).
  void setParentDpi(WindowId parent, int dpi);
  int parentDpi(WindowId parent) const;  // 0 for an unknown parent
  void setPreviousProcedure(WindowId parent, std::uintptr_t proc);
  std::uintptr_t previousProcedure(WindowId parent) const;

  const std::vector<AnchorRecord>& records() const { return records_; }
  size_t parentCount() const { return parents_.size(); }

 private:
  struct AnchoredParent {
    WindowId parent;
    std::uintptr_t previous;
    int dpi;
  };
  std::vector<AnchorRecord> records_;
  std::vector<AnchoredParent> parents_;
};

}  // namespace dvx
