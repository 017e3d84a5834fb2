// The icon control draws its picture, or the blank page icon when the picture
// can't be read.
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "shell/windows/c_icon_ui.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

QImage Paint(CIconUI& icon) {
  QImage canvas(24, 24, QImage::Format_ARGB32);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  icon.SetPos(QRect(0, 0, 24, 24));
  icon.PaintStatusImage(painter);
  return canvas;
}

TEST(IconTest, DrawsItsPictureInsideTheInset) {
  TempDir folder;
  const QString path = QString::fromStdString((folder.path() / "red.png").string());
  QImage red(16, 16, QImage::Format_ARGB32);
  red.fill(Qt::red);
  ASSERT_TRUE(red.save(path));
  CIconUI icon;
  icon.SetAttribute("inset", "4,4,4,4");
  icon.SetAttribute("icon", path);
  const QImage drawn = Paint(icon);
  EXPECT_EQ(drawn.pixelColor(12, 12), QColor(Qt::red));
  EXPECT_EQ(drawn.pixelColor(1, 1), QColor(Qt::white));  // the inset stays clear
}

TEST(IconTest, UnreadablePictureFallsBackToTheBlankIcon) {
  CIconUI icon;
  icon.SetAttribute("icon", "/nonexistent/file.ico");
  const QImage blank(CIconUI::BlankIconPath());
  ASSERT_FALSE(blank.isNull()) << "the blank icon is installed beside the executable";
  const QImage drawn = Paint(icon);
  QImage expected(24, 24, QImage::Format_ARGB32);
  expected.fill(Qt::white);
  QPainter painter(&expected);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QRect(0, 0, 24, 24), blank);
  painter.end();
  EXPECT_EQ(drawn, expected);
}

}  // namespace
}  // namespace tarvo::test
