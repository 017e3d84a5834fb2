#include "downloads/windows/file_type_icons.h"

#include <QFileIconProvider>
#include <QIcon>
#include <QMimeDatabase>

namespace tarvo {

QImage FileTypeIcons::For(const QString& fileName) {
  const QMimeType type = QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
  auto found = byType_.find(type.name());
  if (found != byType_.end()) return *found;
  QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
  if (icon.isNull()) icon = QFileIconProvider().icon(QFileIconProvider::File);
  const QImage picture = icon.pixmap(size_, size_).toImage();
  byType_.insert(type.name(), picture);
  return picture;
}

}  // namespace tarvo
