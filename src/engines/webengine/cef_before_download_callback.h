#pragma once

#include <QPointer>

#include "engines/webengine/cef_string.h"

#include <QWebEngineDownloadRequest>

namespace tarvo::cef {

// Accepts a download announced by OnBeforeDownload. Live only during that call:
// the engine decides at once whether a download proceeds.
// Threads: engine UI thread only.
class CefBeforeDownloadCallback {
 public:
  explicit CefBeforeDownloadCallback(QWebEngineDownloadRequest* item) : item_(item) {}

  // Starts writing the download to download_path (a full file path; empty keeps
  // the suggested name in the engine's download folder). show_dialog is not offered
  // by this engine: the caller chooses the path itself.
  void Continue(const CefString& download_path, bool show_dialog);
  bool accepted() const { return accepted_; }
  // Layer use: the decision time is over.
  void Expire() { item_ = nullptr; }

 private:
  QPointer<QWebEngineDownloadRequest> item_;  // non-owning, the engine's
  bool accepted_ = false;
};

}  // namespace tarvo::cef
