#include "shell/pages/tab_strip.h"

#include "shell/pages/tab.h"
#include "shell/pages/tab_parts.h"
#include "ui/window_registry.h"
#include "shell/commands/main_window_messages.h"

namespace tarvo {

const QString TabStrip::kBubbleName = QStringLiteral("bubble");

TabStrip::TabStrip(DuiLib::CContainerUI* container, DuiLib::HWND mainWindow)
    : container_(container), mainWindow_(mainWindow) {}

bool TabStrip::IsTab(DuiLib::CControlUI* control) const {
  const auto* tab = dynamic_cast<Tab*>(control);
  return tab != nullptr && !tab->IsDragCopy();
}

int TabStrip::Count() const {
  int count = 0;
  for (int i = 0; i < container_->GetCount(); ++i) count += IsTab(container_->GetItemAt(i)) ? 1 : 0;
  return count;
}

Tab* TabStrip::TabAt(int index) const {
  int seen = 0;
  for (int i = 0; i < container_->GetCount(); ++i) {
    if (!IsTab(container_->GetItemAt(i))) continue;
    if (seen++ == index) return static_cast<Tab*>(container_->GetItemAt(i));
  }
  return nullptr;
}

int TabStrip::IndexOf(const Tab* tab) const {
  int seen = 0;
  for (int i = 0; i < container_->GetCount(); ++i) {
    auto* control = container_->GetItemAt(i);
    if (!IsTab(control)) continue;
    if (control == tab) return seen;
    ++seen;
  }
  return -1;
}

int TabStrip::PinnedCount() const {
  int pinned = 0;
  for (int i = 0; i < Count(); ++i) pinned += TabAt(i)->IsPinned() ? 1 : 0;
  return pinned;
}

int TabStrip::ChildIndexOfTab(int index) const {
  if (index < Count()) return container_->GetItemIndex(TabAt(index));
  // After the last tab.
  const int count = Count();
  return count == 0 ? 0 : container_->GetItemIndex(TabAt(count - 1)) + 1;
}

void TabStrip::RemoveTrailingBubble() {
  const int last = container_->GetCount() - 1;
  if (last >= 0 && container_->GetItemAt(last)->GetName() == kBubbleName) container_->RemoveAt(last);
}

Tab* TabStrip::InsertTab(std::unique_ptr<Tab> tab, int index) {
  RemoveTrailingBubble();
  index = qBound(0, index, Count());
  Tab* raw = tab.get();
  raw->SetStrip(this);
  if (privateLook_) raw->UsePrivateLook();
  if (!container_->AddAt(std::move(tab), ChildIndexOfTab(index))) return nullptr;
  return raw;
}

void TabStrip::RemoveTab(Tab* tab) {
  if (IndexOf(tab) < 0) return;
  container_->Remove(tab);
  auto bubble = std::make_unique<DuiLib::CControlUI>();
  bubble->SetName(kBubbleName);
  container_->Add(std::move(bubble));
}

void TabStrip::MoveTab(Tab* tab, int index) {
  const int from = IndexOf(tab);
  if (from < 0) return;
  index = qBound(0, index, Count() - 1);
  if (from == index) return;
  container_->SetItemIndex(tab, container_->GetItemIndex(TabAt(index)));
}

void TabStrip::RequestMove(int from, int to) {
  if (mover_) {
    mover_(from, to);
  } else if (Tab* tab = TabAt(from)) {
    MoveTab(tab, to);
  }
}

bool TabStrip::BeginDrag(Tab* tab, QPoint mouse) {
  if (dragCopy_ != nullptr) return false;
  dragIndex_ = IndexOf(tab);
  if (dragIndex_ < 0) return false;
  dragStart_ = mouse;
  dragTabRect_ = tab->GetPos();
  dragRects_.clear();
  for (int i = 0; i < Count(); ++i) dragRects_.push_back(TabAt(i)->GetPos());

  auto copy = std::make_unique<Tab>(tab->GetTitle());
  copy->MarkDragCopy();
  copy->SetSelected(false);
  copy->ApplyAttributeList(QStringLiteral(R"(float="true")"));
  copy->SetIcon(tab->IconImages());
  copy->SetFixedWidth(dragTabRect_.width());
  copy->SetFixedHeight(dragTabRect_.height());
  copy->CloseButton()->SetVisible(!tab->IsPinned());
  dragCopy_ = container_->Add(std::move(copy));
  if (dragCopy_ == nullptr) return false;
  // The copy looks like the tab: same title, icon, selection and pinned look.
  dragCopy_->SetSelected(tab->IsSelected());
  DragTo(mouse);
  return true;
}

void TabStrip::DragTo(QPoint mouse) {
  if (dragCopy_ == nullptr) return;
  const int lastLeft = dragRects_.empty() ? 0 : dragRects_.back().left() - container_->GetPos().left();
  int left = dragTabRect_.left() - container_->GetPos().left() + (mouse.x() - dragStart_.x());
  left = qBound(0, left, qMax(0, lastLeft));
  copyLeft_ = container_->GetPos().left() + left;
  dragCopy_->SetAttribute(QStringLiteral("pos"), QStringLiteral("%1,%2,%3,%4")
                                                     .arg(left)
                                                     .arg(dragTabRect_.top() - container_->GetPos().top())
                                                     .arg(left + dragTabRect_.width())
                                                     .arg(dragTabRect_.bottom() + 1 - container_->GetPos().top()));
  container_->NeedUpdate();
}

void TabStrip::EndDrag(QPoint mouse) {
  if (dragCopy_ == nullptr) return;
  DragTo(mouse);
  const int copyLeft = copyLeft_;
  const int copyRight = copyLeft_ + dragTabRect_.width() - 1;
  container_->Remove(dragCopy_);
  dragCopy_ = nullptr;
  for (int i = 0; i < Count() && i < static_cast<int>(dragRects_.size()); ++i) {
    TabAt(i)->SetPos(dragRects_[static_cast<size_t>(i)]);
  }
  const int target = DropIndex(dragRects_, dragIndex_, copyLeft, copyRight);
  DuiLib::PostMessage(mainWindow_, MainWindowMessages::kMoveTab, static_cast<DuiLib::WPARAM>(dragIndex_), target);
  container_->NeedUpdate();
}

int TabStrip::DropIndex(const std::vector<QRect>& rects, int start, int copyLeft, int copyRight) {
  const int count = static_cast<int>(rects.size());
  if (start < 0 || start >= count) return start;
  auto centre = [&](int i) { return (rects[static_cast<size_t>(i)].left() + rects[static_cast<size_t>(i)].right()) / 2; };
  int target = start;
  if (copyLeft < rects[static_cast<size_t>(start)].left()) {
    for (int i = start - 1; i >= 0 && centre(i) >= copyLeft; --i) target = i;
  } else {
    for (int i = start + 1; i < count && centre(i) <= copyRight; ++i) target = i;
  }
  return target;
}

}  // namespace tarvo
