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
  // An interrupted download has ended for good: this engine does not take it up
  // again (it has already retried with a Range request where the server allowed
  // one), so only a paused one resumes.
  if (!item_.isNull() && item_->state() == QWebEngineDownloadItem::DownloadInProgress && item_->isPaused()) {
    item_->resume();
  }
}

}  // namespace tarvo::cef
