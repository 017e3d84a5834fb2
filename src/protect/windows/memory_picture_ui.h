#pragma once
// A picture control that shows an image held in memory: what a private window's
// windows show (its address as a QR code, a site's authority icons) never touches
// the disk. The image fills the control's rectangle; without one the control draws
// as any other (its background image, when it has one). Skin tag "MemoryPicture".
//
// Threads: GUI thread only. Owned by its window's control tree.
#include <QPixmap>

#include "ui/control_ui.h"

class QImage;

namespace tarvo {

class MemoryPictureUI : public DuiLib::CControlUI {
 public:
  static constexpr const char* kTag = "MemoryPicture";

  QString GetClass() const override { return QStringLiteral("MemoryPictureUI"); }
  // Shows `picture` (a null image shows nothing again).
  void SetPicture(const QImage& picture);
  bool HasPicture() const { return !picture_.isNull(); }

  void PaintBkImage(QPainter& painter) override;

 private:
  QPixmap picture_;
};

}  // namespace tarvo
