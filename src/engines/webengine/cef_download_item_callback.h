#pragma once

#include <QPointer>

#include "engines/webengine/cef_string.h"

#include <QWebEngineDownloadRequest>

namespace tarvo::cef {

// Controls an accepted download. Stays usable for the download's whole life; after
// the download has ended the calls do nothing.
// Threads: engine UI thread only.
class CefDownloadItemCallback {
 public:
  explicit CefDownloadItemCallback(QWebEngineDownloadRequest* item) : item_(item) {}

  void Cancel();
  // Stops reading from the connection, which stays open; the partial file stays
  // until Resume or Cancel.
  void Pause();
  // Goes on reading where Pause stopped. A paused download whose connection was
  // dropped in the meantime is asked again from where it stopped (from the start
  // when the server gave no validator). Does nothing once the download has ended,
  // interrupted ones included.
  void Resume();
  // Gives the bytes written so far a second name, `path`, so they outlive the
  // engine: at its shut-down the engine deletes the partial files of downloads that
  // have not finished. Later writes land in the same file. False when the download
  // is not in progress or the link could not be made.
  bool KeepPartialFile(const CefString& path);

 private:
  QPointer<QWebEngineDownloadRequest> item_;  // non-owning, the engine's
};

}  // namespace tarvo::cef
