#include "downloads/windows/download_prompts.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include "downloads/downloads_language_keys.h"
#include "shell/windows/c_message_box.h"
#include "shell/windows/language_texts.h"

namespace tarvo {

bool DownloadPrompts::ConfirmReplace(const DownloadRecord&) {
  return CMessageBox::Show(0, LanguageText(DownloadsLanguageKeys::kFileExistsCover), true);
}

void DownloadPrompts::TellAlreadyDownloading(const DownloadRecord&) {
  CMessageBox::Show(0, LanguageText(DownloadsLanguageKeys::kFileDownloading), false);
}

WString DownloadPrompts::ChooseTarget(const WString& suggestedName) {
  if (folder_.isEmpty()) {
    // A download folder the desktop names but nobody made would leave the dialog in
    // the program's working folder.
    folder_ = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder_.isEmpty() || !QDir(folder_).exists()) folder_ = QDir::homePath();
  }
  // The engine's suggestion is a bare name; anything path-like in it is dropped.
  QString name = QFileInfo(QString::fromStdU16String(suggestedName)).fileName();
  if (name.isEmpty()) name = QStringLiteral("download");
  const QString chosen = QFileDialog::getSaveFileName(nullptr, LanguageText(DownloadsLanguageKeys::kSaveDialogTitle),
                                                      QDir(folder_).filePath(name), QStringLiteral("All Files (*)"));
  if (chosen.isEmpty()) return WString();
  folder_ = QFileInfo(chosen).absolutePath();
  return chosen.toStdU16String();
}

}  // namespace tarvo
