#pragma once

#include <functional>
#include <map>

#include "downloads/download_report.h"
#include "downloads/i_download_driver.h"
#include "engines/webengine/cef_download_handler.h"
#include "platform/text.h"

namespace tarvo {

class DownloadManager;
class IDownloadPrompts;

// The Chromium client's download handler: the download manager decides whether and
// where a download starts (its questions and the save dialog), the engine writes the
// working file, and each of the engine's reports moves the download's record; the
// user's pause, continue and cancel reach the engine at once.
//
// Threads: the engine's UI thread (the GUI thread) only. Lifetime: made at start-up,
// outlives the engine's downloads (KeepUnfinished detaches it at the end).
class ChromiumDownloadHandler : public cef::CefDownloadHandler, public IDownloadDriver {
 public:
  // Told once a download has been accepted: the browser it started in, its URL and
  // whether it is kept out of the records (a private window's).
  using StartedCallback = std::function<void(int browserId, const WString& url, bool unrecorded)>;

  ChromiumDownloadHandler(DownloadManager& manager, IDownloadPrompts& prompts, StartedCallback started);

  void OnBeforeDownload(cef::CefRefPtr<cef::CefBrowser> browser, cef::CefRefPtr<cef::CefDownloadItem> download_item,
                        const cef::CefString& suggested_name,
                        cef::CefRefPtr<cef::CefBeforeDownloadCallback> callback) override;
  void OnDownloadUpdated(cef::CefRefPtr<cef::CefBrowser> browser, cef::CefRefPtr<cef::CefDownloadItem> download_item,
                         cef::CefRefPtr<cef::CefDownloadItemCallback> callback) override;
  void OnStateRequested(int64_t id) override;

  // At the browser's end, while the engine still runs: the bytes of every unfinished
  // download are kept under its working name (the engine deletes its own partial
  // file when it shuts down), and the handler stops listening, so the shut-down is
  // not taken for a failure. The records stay running or paused for the next start.
  void KeepUnfinished();
  // Listens again (an engine started anew in the same process).
  void Attach() { detached_ = false; }

  // What the download list tells of a download the engine interrupted for
  // `interruptReason` (Chromium's numbering, CefDownloadItem::GetInterruptReason).
  static DownloadRecord::Problem ProblemOf(int interruptReason);

 private:
  static void Apply(DownloadAction action, cef::CefDownloadItemCallback& callback);

  DownloadManager& manager_;
  IDownloadPrompts& prompts_;
  StartedCallback started_;
  // The control of each download the engine still runs, by id.
  std::map<int64_t, cef::CefRefPtr<cef::CefDownloadItemCallback>> running_;
  bool detached_ = false;
};

}  // namespace tarvo
