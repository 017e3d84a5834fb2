#include "shell/windows/c_icon_ui.h"

#include <QPainter>

#include "platform/paths.h"
#include "ui/attribute_parser.h"

namespace tarvo {

void* CIconUI::GetInterface(const QString& name) {
  if (name == QLatin1String("Icon")) return this;
  return CControlUI::GetInterface(name);
}

void CIconUI::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("icon")) {
    SetIcon(value);
  } else if (name == QLatin1String("inset")) {
    if (const auto inset = DuiLib::CAttributeParser::ParseRect(value)) {
      inset_ = *inset;
      Invalidate();
    }
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

QString CIconUI::BlankIconPath() {
  return QString::fromStdString(ExecutableFolder()) + QStringLiteral("Favicon/blank_favicon.ico");
}

void CIconUI::SetIcon(const QString& path) {
  iconPath_ = path;
  picture_ = QImage(path);
  if (picture_.isNull()) picture_ = QImage(BlankIconPath());
  Invalidate();
}

void CIconUI::SetPicture(const QImage& picture) {
  iconPath_.clear();
  picture_ = picture.isNull() ? QImage(BlankIconPath()) : picture;
  Invalidate();
}

void CIconUI::PaintStatusImage(QPainter& painter) {
  if (picture_.isNull()) return;
  const QRect area = GetPos().marginsRemoved(DuiLib::ToMargins(inset_));
  if (area.isEmpty()) return;
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(area, picture_);
  painter.restore();
}

}  // namespace tarvo
