#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "engines/webkitgtk/compat_engine.h"

typedef struct _WebKitDownload WebKitDownload;
typedef struct _GError GError;
typedef unsigned long gulong;

namespace tarvo::ie {

// One download of the engine, reported to the browser's listener: it asks where the
// bytes go when the engine wants a destination, reports progress, and reports the
// end once (finished, failed or cancelled). It deletes itself after that end.
// Lifetime: made when the engine starts a download; holds a reference to it.
// Threads: GUI thread.
class WebKitDownloadJob : public CompatDownload {
 public:
  // The data key under which a web view keeps the QWidget that shows it.
  static const char* const kPageWindowKey;

  // `listener` (non-owning, may be null: the download is refused) must outlive the
  // job; so must the engine that owns it.
  WebKitDownloadJob(WebKitDownload* download, CompatDownloadListener* listener, bool privateProfile);
  ~WebKitDownloadJob() override;
  WebKitDownloadJob(const WebKitDownloadJob&) = delete;
  WebKitDownloadJob& operator=(const WebKitDownloadJob&) = delete;

  QString Url() const override { return url_; }
  void Cancel() override;
  QWidget* PageWindow() const override { return pageWindow_.data(); }

 private:
  static int OnDecideDestination(WebKitDownload* download, const char* suggested, WebKitDownloadJob* job);
  static void OnReceivedData(WebKitDownload* download, unsigned long long length, WebKitDownloadJob* job);
  static void OnFailed(WebKitDownload* download, GError* error, WebKitDownloadJob* job);
  static void OnFinished(WebKitDownload* download, WebKitDownloadJob* job);
  void End(bool complete);

  WebKitDownload* download_;  // a reference held until the job goes
  CompatDownloadListener* listener_;
  const bool private_;
  QString url_;
  QPointer<QWidget> pageWindow_;
  bool begun_ = false;   // the listener accepted it
  bool failed_ = false;  // "failed" came before "finished"
};

}  // namespace tarvo::ie
