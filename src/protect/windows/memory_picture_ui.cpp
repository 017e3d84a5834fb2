#include "protect/windows/memory_picture_ui.h"

#include <QImage>
#include <QPainter>

namespace tarvo {

void MemoryPictureUI::SetPicture(const QImage& picture) {
  picture_ = QPixmap::fromImage(picture);
  Invalidate();
}

void MemoryPictureUI::PaintBkImage(QPainter& painter) {
  if (picture_.isNull()) {
    CControlUI::PaintBkImage(painter);
    return;
  }
  const QRect& rect = GetPos();
  // A picture of the control's own size (a QR code, one screen pixel per picture
  // pixel) is drawn as it is; others are scaled smoothly into the rectangle.
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, picture_.size() != rect.size());
  painter.drawPixmap(rect, picture_);
  painter.restore();
}

}  // namespace tarvo
