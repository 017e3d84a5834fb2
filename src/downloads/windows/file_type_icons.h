#pragma once
// The picture of a file's type for the download list: the icon theme's icon for the
// file name's MIME type (the generic one of its family when the theme lacks it), or
// the toolkit's file icon. One picture per type is made and kept.
//
// GUI thread only. Owned by the window that shows the pictures.
#include <QHash>
#include <QImage>
#include <QString>

namespace tarvo {

class FileTypeIcons {
 public:
  explicit FileTypeIcons(int size) : size_(size) {}

  // The picture for `fileName` (judged by its name only; the file may not exist).
  QImage For(const QString& fileName);

 private:
  int size_;
  QHash<QString, QImage> byType_;  // MIME type name -> picture
};

}  // namespace tarvo
