#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "engines/webengine/cef_download_item.h"
#include "engines/webengine/cef_types.h"

class QWebEngineDownloadRequest;

namespace tarvo::cef {

class CefBrowser;
class CefClient;
class CefDownloadItemCallback;

// Follows one accepted download and reports every change of it to the client's
// download handler (OnDownloadUpdated), with the speed measured here. A paused
// download sends no changes, so it is reported once a second while it stays
// paused: clients that apply their user's "continue" at the next report get one.
// Lifetime: a child of the engine's download item, so it ends with it.
// Threads: engine UI thread only.
class DownloadTracker : public QObject {
  Q_OBJECT
 public:
  DownloadTracker(QWebEngineDownloadRequest* item, CefRefPtr<CefBrowser> browser, CefRefPtr<CefClient> client);

  // Reports the item's current state from the event loop; changes that arrive
  // before that report are told in it.
  void ReportSoon();

  // A snapshot of the item as the handlers see it (speed 0 when none was measured).
  static CefDownloadItem::Data Snapshot(const QWebEngineDownloadRequest& item);

 private:
  void Report();
  void MeasureSpeed(int64_t received);

  QPointer<QWebEngineDownloadRequest> item_;  // non-owning: our parent
  CefRefPtr<CefBrowser> browser_;
  CefRefPtr<CefClient> client_;  // keeps the handler alive while the download runs
  CefRefPtr<CefDownloadItemCallback> callback_;
  QElapsedTimer clock_;
  int64_t last_received_ = 0;
  int64_t speed_ = 0;
  bool report_pending_ = false;
  QTimer paused_reports_;
};

}  // namespace tarvo::cef
