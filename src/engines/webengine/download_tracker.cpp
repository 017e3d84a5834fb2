#include "engines/webengine/download_tracker.h"

#include <QTimer>
#include <QUrl>
#include <QWebEngineDownloadRequest>

#include "engines/webengine/cef_client.h"
#include "engines/webengine/cef_download_handler.h"
#include "engines/webengine/cef_download_item_callback.h"

namespace tarvo::cef {

namespace {
// Speed is averaged over at least this long, so bursts of small reports do not
// swing it.
constexpr qint64 kSpeedWindowMs = 500;
constexpr int kPausedReportIntervalMs = 1000;
}  // namespace

DownloadTracker::DownloadTracker(QWebEngineDownloadRequest* item, CefRefPtr<CefBrowser> browser,
                                 CefRefPtr<CefClient> client)
    : QObject(item),
      item_(item),
      browser_(std::move(browser)),
      client_(std::move(client)),
      callback_(std::make_shared<CefDownloadItemCallback>(item)) {
  clock_.start();
  paused_reports_.setInterval(kPausedReportIntervalMs);
  connect(&paused_reports_, &QTimer::timeout, this, &DownloadTracker::ReportSoon);
  // The item emits these from inside its own update, which goes on comparing its
  // fields with the engine's after the signal returns. A client that paused or
  // resumed right inside the report would leave the item's paused flag contrary
  // to the engine's (the engine paused, the item saying running, so a later resume
  // was ignored). So the client hears of changes from the event loop, once per
  // burst, and its calls reach the item between updates.
  connect(item, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this] {
    if (!item_.isNull()) MeasureSpeed(item_->receivedBytes());
    ReportSoon();
  });
  connect(item, &QWebEngineDownloadRequest::totalBytesChanged, this, &DownloadTracker::ReportSoon);
  connect(item, &QWebEngineDownloadRequest::stateChanged, this, &DownloadTracker::ReportSoon);
  connect(item, &QWebEngineDownloadRequest::isPausedChanged, this, &DownloadTracker::ReportSoon);
}

void DownloadTracker::ReportSoon() {
  if (report_pending_) {
    return;
  }
  report_pending_ = true;
  QTimer::singleShot(0, this, [this] {
    report_pending_ = false;
    Report();
  });
}

CefDownloadItem::Data DownloadTracker::Snapshot(const QWebEngineDownloadRequest& item) {
  CefDownloadItem::Data data;
  data.id = item.id();
  data.url = item.url().toString().toStdU16String();
  data.original_url = data.url;
  data.suggested_file_name = item.suggestedFileName().toStdU16String();
  if (item.state() != QWebEngineDownloadRequest::DownloadRequested) {
    data.full_path = (item.downloadDirectory() + QLatin1Char('/') + item.downloadFileName()).toStdU16String();
  }
  data.mime_type = item.mimeType().toStdU16String();
  data.received_bytes = item.receivedBytes();
  data.total_bytes = item.totalBytes() > 0 ? item.totalBytes() : 0;
  data.in_progress = item.state() == QWebEngineDownloadRequest::DownloadInProgress;
  data.paused = item.isPaused();
  data.complete = item.state() == QWebEngineDownloadRequest::DownloadCompleted;
  data.interrupted = item.state() == QWebEngineDownloadRequest::DownloadInterrupted;
  data.interrupt_reason = data.interrupted ? static_cast<int>(item.interruptReason()) : 0;
  data.canceled = item.state() == QWebEngineDownloadRequest::DownloadCancelled || data.interrupted;
  return data;
}

void DownloadTracker::MeasureSpeed(int64_t received) {
  const qint64 elapsed = clock_.elapsed();
  if (elapsed < kSpeedWindowMs) {
    return;
  }
  speed_ = (received - last_received_) * 1000 / elapsed;
  if (speed_ < 0) {
    speed_ = 0;
  }
  last_received_ = received;
  clock_.restart();
}

void DownloadTracker::Report() {
  if (item_.isNull() || client_ == nullptr) {
    return;
  }
  CefDownloadHandler* handler = client_->GetDownloadHandler();
  if (handler == nullptr) {
    return;
  }
  CefDownloadItem::Data data = Snapshot(*item_);
  data.current_speed = data.in_progress && !data.paused ? speed_ : 0;
  if (data.in_progress && data.paused) {
    if (!paused_reports_.isActive()) {
      paused_reports_.start();
    }
  } else {
    paused_reports_.stop();
  }
  handler->OnDownloadUpdated(browser_, std::make_shared<CefDownloadItem>(std::move(data)), callback_);
}

}  // namespace tarvo::cef
