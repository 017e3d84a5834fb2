#pragma once
// An icon control (skin tag "Icon"): draws the picture file named by its "icon"
// attribute inside its "inset"; when that file can't be read it draws the blank
// page icon beside the executable ("Favicon/blank_favicon.ico").
//
// GUI thread only. Owned by its window's control tree.
#include <QImage>

#include "ui/control_ui.h"

namespace tarvo {

class CIconUI : public DuiLib::CControlUI {
 public:
  QString GetClass() const override { return QStringLiteral("IconUI"); }
  void* GetInterface(const QString& name) override;
  void SetAttribute(const QString& name, const QString& value) override;

  // Uses the picture at `path` (a file on disk) from now on.
  void SetIcon(const QString& path);
  // Uses `picture` from now on (the blank icon when it is null).
  void SetPicture(const QImage& picture);
  const QString& GetIcon() const { return iconPath_; }
  // The file drawn when the icon can't be read.
  static QString BlankIconPath();

  void PaintStatusImage(QPainter& painter) override;

 private:
  QString iconPath_;
  DuiLib::RECT inset_;
  QImage picture_;  // what is drawn: the icon, or the blank icon
};

}  // namespace tarvo
