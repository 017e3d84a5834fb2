#include "engines/recording_client.h"

#include "engines/webengine/cef_auth_callback.h"
#include "engines/webengine/cef_before_download_callback.h"
#include "engines/webengine/cef_browser_host.h"
#include "engines/webengine/cef_frame.h"
#include "engines/webengine/cef_request.h"

namespace tarvo::test {

bool RecordingClient::OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString&, const CefString&,
                                    cef_window_open_disposition_t disposition, bool, const CefPopupFeatures&,
                                    CefWindowInfo&, CefRefPtr<CefClient>&, CefBrowserSettings&, bool*) {
  popups.push_back(disposition);
  return suppressed_dispositions.count(disposition) != 0;
}

bool RecordingClient::DoClose(CefRefPtr<CefBrowser> browser) {
  if (destroy_window_itself) {
    delete browser->GetHost()->GetWindowHandle();
    return true;
  }
  return false;
}

bool RecordingClient::OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                     CefRefPtr<CefRequest> request, bool is_redirect) {
  navigations.push_back({browser->GetIdentifier(), request->GetURL(), frame->IsMain(), is_redirect});
  return cancel_navigation && cancel_navigation(request->GetURL());
}

cef_return_value_t RecordingClient::OnBeforeResourceLoad(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                                         CefRefPtr<CefRequest> request) {
  resource_urls.push_back(request->GetURL());
  if (block_resource && block_resource(request->GetURL())) {
    return RV_CANCEL;
  }
  if (edit_headers) {
    CefRequest::HeaderMap headers;
    request->GetHeaderMap(headers);
    edit_headers(headers);
    request->SetHeaderMap(headers);
  }
  return RV_CONTINUE;
}

void RecordingClient::OnBeforeDownload(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem>,
                                       const CefString& suggested_name, CefRefPtr<CefBeforeDownloadCallback> callback) {
  suggested_names.push_back(suggested_name);
  if (download_path) {
    callback->Continue(*download_path, false);
  }
}

void RecordingClient::OnDownloadUpdated(CefRefPtr<CefBrowser>, CefRefPtr<CefDownloadItem> item,
                                        CefRefPtr<CefDownloadItemCallback> callback) {
  CefDownloadItem::Data data;
  data.id = item->GetId();
  data.url = item->GetURL();
  data.full_path = item->GetFullPath();
  data.received_bytes = item->GetReceivedBytes();
  data.total_bytes = item->GetTotalBytes();
  data.in_progress = item->IsInProgress();
  data.paused = item->IsPaused();
  data.complete = item->IsComplete();
  data.canceled = item->IsCanceled();
  data.interrupted = item->IsInterrupted();
  data.interrupt_reason = item->GetInterruptReason();
  download_updates.push_back(data);
  if (on_download_update) {
    on_download_update(*item, *callback);
  }
}

}  // namespace tarvo::test
