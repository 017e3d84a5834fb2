#include "engines/webengine/cef_before_download_callback.h"

#include <QFileInfo>
#include <QWebEngineDownloadRequest>

namespace tarvo::cef {

void CefBeforeDownloadCallback::Continue(const CefString& download_path, bool /*show_dialog*/) {
  if (item_.isNull() || accepted_) {
    return;
  }
  if (!download_path.empty()) {
    const QFileInfo target(QString::fromStdU16String(download_path));
    item_->setDownloadDirectory(target.absolutePath());
    item_->setDownloadFileName(target.fileName());
  }
  item_->accept();
  accepted_ = true;
}

}  // namespace tarvo::cef
