#include "ui/scroll_bar_ui.h"

#include <QAccessible>
#include <QPainter>

namespace DuiLib {

CScrollBarUI::~CScrollBarUI() {
  if (accessibleId_ != 0) QAccessible::deleteAccessibleInterface(accessibleId_);
}

void CScrollBarUI::SetRange(int range) {
  range_ = qMax(0, range);
  pos_ = qBound(0, pos_, range_);
}

void CScrollBarUI::SetScrollPos(int pos) { pos_ = qBound(0, pos, range_); }

QRect CScrollBarUI::ThumbRect() const {
  if (range_ <= 0 || track_.isEmpty()) {
    return QRect();
  }
  const int length = horizontal_ ? track_.width() : track_.height();
  const int total = view_ + range_;
  const int thumb = qMax(24, total > 0 ? length * view_ / total : length);
  const int offset = (length - thumb) * pos_ / range_;
  return horizontal_ ? QRect(track_.left() + offset, track_.top(), thumb, track_.height())
                     : QRect(track_.left(), track_.top() + offset, track_.width(), thumb);
}

void CScrollBarUI::Paint(QPainter& painter, bool hot) const {
  if (!IsShown()) {
    return;
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, hot || dragging_ ? 0x70 : 0x38));
  const QRectF thumb = QRectF(ThumbRect()).adjusted(2, 2, -2, -2);
  const qreal radius = qMin(thumb.width(), thumb.height()) / 2.0;
  painter.drawRoundedRect(thumb, radius, radius);
  painter.restore();
}

bool CScrollBarUI::Press(QPoint pt) {
  if (!IsShown() || !track_.contains(pt)) {
    return false;
  }
  const QRect thumb = ThumbRect();
  if (thumb.contains(pt)) {
    dragging_ = true;
    dragStart_ = pt;
    dragStartPos_ = pos_;
    return false;
  }
  const int old = pos_;
  const bool before = horizontal_ ? pt.x() < thumb.left() : pt.y() < thumb.top();
  SetScrollPos(pos_ + (before ? -view_ : view_));
  return old != pos_;
}

bool CScrollBarUI::Drag(QPoint pt) {
  if (!dragging_) {
    return false;
  }
  const int length = (horizontal_ ? track_.width() : track_.height()) - (horizontal_ ? ThumbRect().width() : ThumbRect().height());
  if (length <= 0) {
    return false;
  }
  const int moved = horizontal_ ? pt.x() - dragStart_.x() : pt.y() - dragStart_.y();
  const int old = pos_;
  SetScrollPos(dragStartPos_ + moved * range_ / length);
  return old != pos_;
}

}  // namespace DuiLib
