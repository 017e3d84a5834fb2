#include "engines/webengine/cef_download_item_callback.h"

#include <unistd.h>

#include <QFile>
#include <QWebEngineDownloadRequest>

namespace tarvo::cef {

void CefDownloadItemCallback::Cancel() {
  if (!item_.isNull() && !item_->isFinished()) {
    item_->cancel();
  }
}

void CefDownloadItemCallback::Pause() {
  if (!item_.isNull() && item_->state() == QWebEngineDownloadRequest::DownloadInProgress && !item_->isPaused()) {
    item_->pause();
  }
}

void CefDownloadItemCallback::Resume() {
  // An interrupted download has ended for good: this engine does not take it up
  // again (it has already retried with a Range request where the server allowed
  // one), so only a paused one resumes.
  if (!item_.isNull() && item_->state() == QWebEngineDownloadRequest::DownloadInProgress && item_->isPaused()) {
    item_->resume();
  }
}

bool CefDownloadItemCallback::KeepPartialFile(const CefString& path) {
  if (item_.isNull() || item_->state() != QWebEngineDownloadRequest::DownloadInProgress || path.empty()) return false;
  // The engine writes a download under its target name plus ".download" until it
  // finishes.
  const QString partial = item_->downloadDirectory() + QLatin1Char('/') + item_->downloadFileName() +
                          QLatin1String(".download");
  const QByteArray target = QFile::encodeName(QString::fromStdU16String(path));
  QFile::remove(QString::fromStdU16String(path));
  return ::link(QFile::encodeName(partial).constData(), target.constData()) == 0;
}

}  // namespace tarvo::cef
