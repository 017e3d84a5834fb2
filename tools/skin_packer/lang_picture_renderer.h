#pragma once
// Renders the pictures that carry language text (LangPic/<CN|EN|TH|VN>/...) from a
// table of picture descriptions and the texts of each language.
#include <QImage>
#include <QJsonObject>
#include <QString>

class LangPictureRenderer {
 public:
  // `picture` describes one picture: "file", "width", "height", "style" (title, label,
  // button, button_hover, secondary, secondary_hover, link, banner) and "key".
  static QImage Render(const QJsonObject& picture, const QString& text, qreal scale);
};
