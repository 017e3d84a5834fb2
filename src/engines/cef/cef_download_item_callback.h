#pragma once

#include <QPointer>

#include <QWebEngineDownloadItem>

namespace tarvo::cef {

// Controls an accepted download. Stays usable for the download's whole life; after
// the download has ended the calls do nothing.
// Threads: engine UI thread only.
class CefDownloadItemCallback {
 public:
  explicit CefDownloadItemCallback(QWebEngineDownloadItem* item) : item_(item) {}

  void Cancel();
  // Stops receiving; the partial file stays until Resume or Cancel.
  void Pause();
  void Resume();

 private:
  QPointer<QWebEngineDownloadItem> item_;  // non-owning, the engine's
};

}  // namespace tarvo::cef
