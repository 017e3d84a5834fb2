#include "engines/cef/cef_download_item_callback.h"

#include <QWebEngineDownloadItem>

namespace tarvo::cef {

void CefDownloadItemCallback::Cancel() {
  if (!item_.isNull() && !item_->isFinished()) {
    item_->cancel();
  }
}

void CefDownloadItemCallback::Pause() {
  if (!item_.isNull() && item_->state() == QWebEngineDownloadItem::DownloadInProgress && !item_->isPaused()) {
    item_->pause();
  }
}

void CefDownloadItemCallback::Resume() {
  if (item_.isNull()) {
    return;
  }
  const bool interrupted = item_->state() == QWebEngineDownloadItem::DownloadInterrupted;
  if (item_->isPaused() || interrupted) {
    item_->resume();
  }
}

}  // namespace tarvo::cef
