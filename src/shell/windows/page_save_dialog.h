#pragma once
// Asking where to save the current page: a save dialog with the page's title as
// the default name and one file type. The chosen name always ends in the type's
// extension.
//
// GUI thread only.
#include <QString>
#include <functional>

class QWidget;

namespace tarvo {

class PageSaveDialog {
 public:
  struct FileType {
    QString filter;     // "Pdf Files(.pdf)"
    QString extension;  // ".pdf"
  };
  static const FileType kPdf;
  static const FileType kHtml;
  static const FileType kPng;

  // Shows the dialog; the answer is a path, or empty when the user cancelled.
  using Chooser = std::function<QString(QWidget* parent, const QString& defaultName, const QString& filter)>;

  // `chooser` defaults to the desktop's save dialog.
  explicit PageSaveDialog(Chooser chooser = {});

  // The path to save to, or empty when the user cancelled.
  QString Ask(QWidget* parent, const QString& pageTitle, const FileType& type) const;

  // A file name made of a page title: characters a file name can't hold become
  // "_", and an empty title becomes "page".
  static QString DefaultName(const QString& pageTitle);
  // `path` with `extension` appended unless it already ends in it (any case).
  static QString WithExtension(const QString& path, const QString& extension);

 private:
  Chooser chooser_;
};

}  // namespace tarvo
