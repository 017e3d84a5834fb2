#pragma once

#include "engines/webengine/cef_string.h"
#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

class CefBeforeDownloadCallback;
class CefBrowser;
class CefDownloadItem;
class CefDownloadItemCallback;

// Downloads started by a browser. Threads: engine UI thread (the GUI thread).
class CefDownloadHandler {
 public:
  virtual ~CefDownloadHandler() = default;
  // A download is about to start. Call callback->Continue(path, show_dialog) before
  // returning to accept it (this engine decides at once); without it the download
  // is dropped.
  virtual void OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                                const CefString& suggested_name, CefRefPtr<CefBeforeDownloadCallback> callback) = 0;
  // Progress, pause, completion or cancellation of an accepted download. The
  // callback pauses, resumes or cancels it; it stays usable after the call.
  virtual void OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> download_item,
                                 CefRefPtr<CefDownloadItemCallback> callback) {
    (void)browser, (void)download_item, (void)callback;
  }
};

}  // namespace tarvo::cef
