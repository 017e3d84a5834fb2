#include "shell/windows/page_save_dialog.h"

#include <QFileDialog>

namespace tarvo {

const PageSaveDialog::FileType PageSaveDialog::kPdf{QStringLiteral("Pdf Files(*.pdf)"), QStringLiteral(".pdf")};
const PageSaveDialog::FileType PageSaveDialog::kHtml{QStringLiteral("Html Files(*.html)"), QStringLiteral(".html")};
const PageSaveDialog::FileType PageSaveDialog::kPng{QStringLiteral("Png Files(*.png)"), QStringLiteral(".png")};

namespace {

QString AskDesktop(QWidget* parent, const QString& defaultName, const QString& filter) {
  return QFileDialog::getSaveFileName(parent, QString(), defaultName, filter);
}

}  // namespace

PageSaveDialog::PageSaveDialog(Chooser chooser) : chooser_(chooser ? std::move(chooser) : Chooser(AskDesktop)) {}

QString PageSaveDialog::Ask(QWidget* parent, const QString& pageTitle, const FileType& type) const {
  const QString chosen = chooser_(parent, DefaultName(pageTitle) + type.extension, type.filter);
  return chosen.isEmpty() ? QString() : WithExtension(chosen, type.extension);
}

QString PageSaveDialog::DefaultName(const QString& pageTitle) {
  QString name;
  for (const QChar c : pageTitle.trimmed()) {
    // A title may hold path separators or control characters; neither belongs in
    // the one file name offered.
    const bool unsafe = c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control;
    name += unsafe ? QLatin1Char('_') : c;
  }
  if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return QStringLiteral("page");
  return name;
}

QString PageSaveDialog::WithExtension(const QString& path, const QString& extension) {
  return path.endsWith(extension, Qt::CaseInsensitive) ? path : path + extension;
}

}  // namespace tarvo
