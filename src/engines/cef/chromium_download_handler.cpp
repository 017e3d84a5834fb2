#include "engines/cef/chromium_download_handler.h"

#include "downloads/download_manager.h"
#include "engines/webengine/cef_before_download_callback.h"
#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_browser_host.h"
#include "engines/webengine/cef_request_context.h"
#include "engines/webengine/cef_download_item.h"
#include "engines/webengine/cef_download_item_callback.h"

namespace tarvo {

using namespace cef;

ChromiumDownloadHandler::ChromiumDownloadHandler(DownloadManager& manager, IDownloadPrompts& prompts,
                                                 StartedCallback started)
    : manager_(manager), prompts_(prompts), started_(std::move(started)) {}

void ChromiumDownloadHandler::OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                                               const CefString& suggested_name,
                                               CefRefPtr<CefBeforeDownloadCallback> callback) {
  if (detached_ || item == nullptr || callback == nullptr) return;
  const WString url = item->GetOriginalUrl();
  // A private window's download is the user's file, but no record of it is kept.
  const bool unrecorded = browser != nullptr && browser->GetHost()->GetRequestContext()->IsOffTheRecord();
  const WString working = manager_.BeginDownload(item->GetId(), url, suggested_name, prompts_, this, unrecorded);
  // Not continued: the engine drops the download and writes nothing.
  if (working.empty()) return;
  // A download taken up after a restart accepts no answer of another type (a log-in
  // page in place of the file).
  if (!unrecorded) manager_.Validators().SetContentType(url, item->GetMimeType());
  callback->Continue(working, false);
  if (started_) started_(browser != nullptr ? browser->GetIdentifier() : -1, url, unrecorded);
}

void ChromiumDownloadHandler::OnDownloadUpdated(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem> item,
                                                CefRefPtr<CefDownloadItemCallback> callback) {
  if (detached_ || item == nullptr || callback == nullptr) return;
  const int64_t id = item->GetId();
  const bool ended = item->IsCanceled() && !item->IsComplete();
  if (item->IsComplete() || ended) {
    running_.erase(id);
  } else {
    running_[id] = callback;
  }
  const DownloadAction action =
      manager_.ApplyReport({id, item->GetOriginalUrl(), item->GetCurrentSpeed(), item->GetReceivedBytes(),
                            item->GetTotalBytes(), item->IsComplete(), ended, ProblemOf(item->GetInterruptReason())});
  Apply(action, *callback);
}

DownloadRecord::Problem ChromiumDownloadHandler::ProblemOf(int interruptReason) {
  using Problem = DownloadRecord::Problem;
  // Chromium's interrupt reasons: 1-19 the file, 20-29 the network, 30-39 the
  // server, 40 and up the user or the browser.
  switch (interruptReason) {
    case 2:  // access denied
      return Problem::kNoPermission;
    case 3:  // no space
      return Problem::kDiskFull;
    case 37:  // server unreachable
    case 38:  // fewer bytes than the server announced: it closed the connection
      return Problem::kConnectionLost;
    default:
      if (interruptReason >= 20 && interruptReason < 30) return Problem::kConnectionLost;
      if (interruptReason >= 30 && interruptReason < 40) return Problem::kServerRefused;
      return Problem::kFailed;
  }
}

void ChromiumDownloadHandler::OnStateRequested(int64_t id) {
  const auto found = running_.find(id);
  const std::optional<DownloadRecord> record = manager_.FindById(id);
  if (found == running_.end() || !record) return;
  Apply(DownloadManager::ActionFor(record->state), *found->second);
}

void ChromiumDownloadHandler::KeepUnfinished() {
  detached_ = true;
  for (const auto& [id, callback] : running_) {
    if (const std::optional<DownloadRecord> record = manager_.FindById(id)) {
      callback->KeepPartialFile(record->workingPath);
    }
  }
  running_.clear();
}

void ChromiumDownloadHandler::Apply(DownloadAction action, CefDownloadItemCallback& callback) {
  switch (action) {
    case DownloadAction::kPause:
      callback.Pause();
      break;
    case DownloadAction::kResume:
      callback.Resume();
      break;
    case DownloadAction::kCancel:
      callback.Cancel();
      break;
    case DownloadAction::kNone:
      break;
  }
}

}  // namespace tarvo
