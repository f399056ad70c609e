#include "ui/list/anchor_layout.h"

#include "ui/common/dpi_scale.h"

namespace dvx {

std::optional<AnchorFlags> anchorFlags(int anchorType) {
  switch (anchorType) {
    case 1: return AnchorFlags{true, true, true, true};
    case 2: return AnchorFlags{true, false, false, true};
    case 3: return AnchorFlags{false, false, true, true};
    case 4: return AnchorFlags{true, true, false, true};
    case 5: return AnchorFlags{true, false, true, true};
    case 6: return AnchorFlags{false, true, true, true};
    default: return std::nullopt;
  }
}

AnchorRecord measureAnchor(WindowId parent, WindowId control, const AnchorRect& p,
                           int32_t parentClientWidth, int32_t parentClientHeight,
                           const AnchorRect& c, AnchorFlags flags) {
  const int32_t border = ((p.right - p.left) - parentClientWidth) / 2;
  const int32_t caption = (p.bottom - p.top) - parentClientHeight - border;
  AnchorRecord r;
  r.parent = parent;
  r.control = control;
  r.left = c.left - p.left - border;
  r.top = c.top - p.top - caption;
  r.rightMargin = p.right - c.right - border;
  r.bottomMargin = p.bottom - c.bottom - border;
  r.width = c.right - c.left;
  r.height = c.bottom - c.top;
  r.flags = flags;
  return r;
}

AnchorPlacement placeAnchored(const AnchorRecord& measured, int32_t clientWidth, int32_t clientHeight,
                              int dpi) {
  // Every offset comes from the measurement itself, so a trip through other
  // DPIs and back ends where it started.
  AnchorRecord r = measured;
  if (dpi > 0 && dpi != measured.dpi) {
    for (int32_t* v : {&r.left, &r.top, &r.rightMargin, &r.bottomMargin, &r.width, &r.height})
      *v = rescale(*v, dpi, measured.dpi);
  }
  AnchorPlacement out{r.left, r.top, r.width, r.height};
  if (r.flags.left && r.flags.right)
    out.width = clientWidth - r.left - r.rightMargin;
  else if (r.flags.right)
    out.left = clientWidth - r.width - r.rightMargin;
  if (r.flags.top && r.flags.bottom)
    out.height = clientHeight - r.top - r.bottomMargin;
  else if (!r.flags.top)
    out.top = clientHeight - r.height - r.bottomMargin;
  return out;
}

AnchorResult AnchorRegistry::anchor(int anchorType, WindowId parent, WindowId control,
                                    const AnchorRect& parentWindow, int32_t parentClientWidth,
                                    int32_t parentClientHeight, const AnchorRect& controlWindow, int dpi) {
  const auto flags = anchorFlags(anchorType);
  if (!flags) return AnchorResult::kIgnored;
  AnchorRecord rec = measureAnchor(parent, control, parentWindow, parentClientWidth, parentClientHeight,
                                   controlWindow, *flags);
  rec.dpi = usableDpi(dpi);
  bool found = false;
  for (auto& r : records_) {
    if (r.control == control) {
      r = rec;
      found = true;
      break;
    }
  }
  if (!found) records_.push_back(rec);
  if (isAnchoredParent(parent)) {
    setParentDpi(parent, rec.dpi);
    return AnchorResult::kRegistered;
  }
  parents_.push_back(AnchoredParent{parent, 0, rec.dpi});
  return AnchorResult::kRegisteredNewParent;
}

std::vector<AnchorRegistry::Move> AnchorRegistry::layout(WindowId parent, int32_t clientWidth,
                                                         int32_t clientHeight) const {
  std::vector<Move> moves;
  const int dpi = parentDpi(parent);
  for (const auto& r : records_)
    if (r.parent == parent) moves.push_back(Move{r.control, placeAnchored(r, clientWidth, clientHeight, dpi)});
  return moves;
}

bool AnchorRegistry::isAnchoredParent(WindowId parent) const {
  for (const auto& p : parents_)
    if (p.parent == parent) return true;
  return false;
}

void AnchorRegistry::setParentDpi(WindowId parent, int dpi) {
  for (auto& p : parents_)
    if (p.parent == parent) p.dpi = usableDpi(dpi);
}

int AnchorRegistry::parentDpi(WindowId parent) const {
  for (const auto& p : parents_)
    if (p.parent == parent) return p.dpi;
  return 0;
}

void AnchorRegistry::setPreviousProcedure(WindowId parent, std::uintptr_t proc) {
  for (auto& p : parents_)
    if (p.parent == parent) p.previous = proc;
}

std::uintptr_t AnchorRegistry::previousProcedure(WindowId parent) const {
  for (const auto& p : parents_)
    if (p.parent == parent) return p.previous;
  return 0;
}

}  // namespace dvx
