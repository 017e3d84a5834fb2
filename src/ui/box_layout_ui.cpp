#include "ui/box_layout_ui.h"

#include <vector>

namespace DuiLib {
namespace {

// Axis-neutral view of sizes: "main" runs along the box, "cross" across it.
struct Span {
  int main = 0;
  int cross = 0;
};

}  // namespace

void CBoxLayoutUI::SetPos(const QRect& rc) {
  CControlUI::SetPos(rc);
  const bool vertical = axis_ == Axis::kVertical;
  QRect inner = InnerRect();
  const auto mainOf = [&](const QRect& r) { return vertical ? r.height() : r.width(); };
  const auto crossOf = [&](const QRect& r) { return vertical ? r.width() : r.height(); };
  const auto padBefore = [&](const RECT& p) { return vertical ? p.top : p.left; };
  const auto padAfter = [&](const RECT& p) { return vertical ? p.bottom : p.right; };
  const auto padCrossBefore = [&](const RECT& p) { return vertical ? p.left : p.top; };
  const auto padCrossAfter = [&](const RECT& p) { return vertical ? p.right : p.bottom; };
  const auto minMain = [&](CControlUI* c) { return vertical ? c->GetMinHeight() : c->GetMinWidth(); };
  const auto maxMain = [&](CControlUI* c) { return vertical ? c->GetMaxHeight() : c->GetMaxWidth(); };
  const auto minCross = [&](CControlUI* c) { return vertical ? c->GetMinWidth() : c->GetMinHeight(); };
  const auto maxCross = [&](CControlUI* c) { return vertical ? c->GetMaxWidth() : c->GetMaxHeight(); };

  struct Slot {
    CControlUI* control;
    Span want;     // estimated size; main 0 = share
    int size = 0;  // decided main size
    bool settled = false;
  };
  std::vector<Slot> entries;
  const SIZE available{inner.width(), inner.height()};
  int fixedTotal = 0;
  for (auto& item : items_) {
    if (!item->IsVisible()) {
      continue;
    }
    if (item->IsFloat()) {
      SetFloatPos(item.get());
      continue;
    }
    const SIZE sz = item->EstimateSize(available);
    Slot slot{item.get(), vertical ? Span{sz.cy, sz.cx} : Span{sz.cx, sz.cy}};
    if (slot.want.main > 0) {
      slot.size = qBound(minMain(slot.control), slot.want.main, qMax(minMain(slot.control), maxMain(slot.control)));
      slot.settled = true;
      fixedTotal += slot.size;
    }
    fixedTotal += padBefore(item->GetPadding()) + padAfter(item->GetPadding());
    entries.push_back(slot);
  }
  if (!entries.empty()) {
    fixedTotal += childPadding_ * static_cast<int>(entries.size() - 1);
  }

  // Share the rest equally; a share outside a child's min/max fixes that child at the
  // bound and the others share again, until every share fits.
  int share = 0;
  int remainderOwner = -1;
  for (bool changed = true; changed;) {
    changed = false;
    int open = 0;
    for (const Slot& s : entries) open += s.settled ? 0 : 1;
    if (open == 0) break;
    share = qMax(0, (mainOf(inner) - fixedTotal) / open);
    for (Slot& s : entries) {
      if (s.settled) continue;
      const int lo = minMain(s.control);
      const int hi = qMax(lo, maxMain(s.control));
      if (share < lo || share > hi) {
        s.size = share < lo ? lo : hi;
        s.settled = true;
        fixedTotal += s.size;
        changed = true;
      }
    }
  }
  int leftover = qMax(0, mainOf(inner) - fixedTotal);
  for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
    if (!entries[static_cast<size_t>(i)].settled) {
      entries[static_cast<size_t>(i)].size = share;
      leftover -= share;
      remainderOwner = i;
    }
  }
  if (remainderOwner >= 0 && leftover > 0) {
    // Rounding pixels go to the last sharing child so the box is filled exactly.
    entries[static_cast<size_t>(remainderOwner)].size += leftover;
  }

  const QPoint scroll = GetScrollPos();
  int cursor = (vertical ? inner.top() - scroll.y() : inner.left() - scroll.x());
  int contentMain = 0;
  int contentCross = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    Slot& s = entries[i];
    const RECT& pad = s.control->GetPadding();
    cursor += padBefore(pad);
    const int crossRoom = crossOf(inner) - padCrossBefore(pad) - padCrossAfter(pad);
    int cross = s.want.cross > 0 ? s.want.cross : crossRoom;
    cross = qBound(minCross(s.control), cross, qMax(minCross(s.control), maxCross(s.control)));
    const int crossStart = (vertical ? inner.left() - scroll.x() : inner.top() - scroll.y()) + padCrossBefore(pad);
    const QRect placed = vertical ? QRect(crossStart, cursor, cross, s.size) : QRect(cursor, crossStart, s.size, cross);
    s.control->SetPos(placed);
    cursor += s.size + padAfter(pad) + (i + 1 < entries.size() ? childPadding_ : 0);
    contentCross = qMax(contentCross, cross + padCrossBefore(pad) + padCrossAfter(pad));
  }
  contentMain = cursor - (vertical ? inner.top() - scroll.y() : inner.left() - scroll.x());
  if (vscroll_ || hscroll_) {
    const bool hadV = vscroll_ && vscroll_->IsShown();
    ProcessScrollBar(inner, vertical ? contentCross : contentMain, vertical ? contentMain : contentCross);
    const bool hasV = vscroll_ && vscroll_->IsShown();
    if (hadV != hasV) {
      // The bar took (or gave back) room: lay out once more in the new inner width.
      CBoxLayoutUI::SetPos(rc);
    }
  }
}

void* CVerticalLayoutUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("VerticalLayout"), Qt::CaseInsensitive) == 0) return this;
  return CContainerUI::GetInterface(name);
}

void* CHorizontalLayoutUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("HorizontalLayout"), Qt::CaseInsensitive) == 0) return this;
  return CContainerUI::GetInterface(name);
}

}  // namespace DuiLib
