#include "ui/accessible_scroll_bar.h"

#include <QWidget>
#include <QWindow>

#include "ui/accessible_tree.h"
#include "ui/container_ui.h"
#include "ui/paint_manager_ui.h"

namespace DuiLib {

CScrollBarUI* CAccessibleScrollBar::Bar() const { return container_->GetScrollBar(vertical_); }

bool CAccessibleScrollBar::isValid() const { return Bar() != nullptr && container_->GetManager() != nullptr; }

QWindow* CAccessibleScrollBar::window() const {
  QWidget* host = container_->GetManager() != nullptr ? container_->GetManager()->GetHostWidget() : nullptr;
  return host != nullptr ? host->window()->windowHandle() : nullptr;
}

QAccessibleInterface* CAccessibleScrollBar::parent() const {
  return container_->IsAccessibleNode() ? container_->GetAccessible() : CAccessibleTree::ParentOf(container_);
}

QString CAccessibleScrollBar::text(QAccessible::Text t) const {
  return t == QAccessible::Value ? QString::number(currentValue().toInt()) : QString();
}

QRect CAccessibleScrollBar::rect() const {
  return Bar() != nullptr ? CAccessibleTree::ScreenRect(container_, Bar()->GetTrack()) : QRect();
}

QAccessible::State CAccessibleScrollBar::state() const {
  QAccessible::State state;
  state.invisible = Bar() == nullptr || !Bar()->IsShown() || !container_->IsVisible();
  return state;
}

void* CAccessibleScrollBar::interface_cast(QAccessible::InterfaceType type) {
  return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this) : nullptr;
}

QVariant CAccessibleScrollBar::currentValue() const { return Bar() != nullptr ? Bar()->GetScrollPos() : 0; }

void CAccessibleScrollBar::setCurrentValue(const QVariant& value) {
  QPoint pos = container_->GetScrollPos();
  (vertical_ ? pos.ry() : pos.rx()) = value.toInt();
  container_->SetScrollPos(pos);
}

QVariant CAccessibleScrollBar::maximumValue() const { return Bar() != nullptr ? Bar()->GetRange() : 0; }

QVariant CAccessibleScrollBar::minimumStepSize() const { return container_->GetLineSize(); }

}  // namespace DuiLib
