#pragma once

#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_client.h"
#include "engines/webengine/cef_display_handler.h"
#include "engines/webengine/cef_download_handler.h"
#include "engines/webengine/cef_download_item.h"
#include "engines/webengine/cef_download_item_callback.h"
#include "engines/webengine/cef_life_span_handler.h"
#include "engines/webengine/cef_load_handler.h"
#include "engines/webengine/cef_request.h"
#include "engines/webengine/cef_request_handler.h"

namespace tarvo::test {

using namespace tarvo::cef;

// A client that records every callback the layer makes and answers as the test
// configures it.
// Threads: GUI thread.
class RecordingClient : public CefClient,
                        public CefLifeSpanHandler,
                        public CefLoadHandler,
                        public CefDisplayHandler,
                        public CefRequestHandler,
                        public CefDownloadHandler {
 public:
  struct Navigation {
    int browser = 0;
    CefString url;
    bool main_frame = false;
    bool redirect = false;
  };

  CefDisplayHandler* GetDisplayHandler() override { return this; }
  CefDownloadHandler* GetDownloadHandler() override { return this; }
  CefLifeSpanHandler* GetLifeSpanHandler() override { return this; }
  CefLoadHandler* GetLoadHandler() override { return this; }
  CefRequestHandler* GetRequestHandler() override { return this; }

  bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& target_url,
                     const CefString& target_frame_name, cef_window_open_disposition_t disposition, bool user_gesture,
                     const CefPopupFeatures& popup_features, CefWindowInfo& window_info, CefRefPtr<CefClient>& client,
                     CefBrowserSettings& settings, bool* no_javascript_access) override;
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override { created.push_back(browser); }
  bool DoClose(CefRefPtr<CefBrowser> browser) override;
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override { closed.push_back(browser->GetIdentifier()); }

  void OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool is_loading, bool, bool) override {
    loading.emplace_back(browser->GetIdentifier(), is_loading);
  }
  void OnTitleChange(CefRefPtr<CefBrowser>, const CefString& title) override { titles.push_back(title); }

  bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefRequest> request,
                      bool is_redirect) override;
  cef_return_value_t OnBeforeResourceLoad(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                          CefRefPtr<CefRequest> request) override;

  void OnBeforeDownload(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                        const CefString& suggested_name, CefRefPtr<CefBeforeDownloadCallback> callback) override;
  void OnDownloadUpdated(CefRefPtr<CefBrowser> browser, CefRefPtr<CefDownloadItem> item,
                         CefRefPtr<CefDownloadItemCallback> callback) override;

  // Recorded.
  std::vector<CefRefPtr<CefBrowser>> created;
  std::vector<int> closed;
  std::vector<std::pair<int, bool>> loading;
  std::vector<CefString> titles;
  std::vector<cef_window_open_disposition_t> popups;
  std::vector<Navigation> navigations;
  std::vector<CefString> resource_urls;
  std::vector<CefString> suggested_names;
  std::vector<CefDownloadItem::Data> download_updates;

  // Answers.
  std::set<cef_window_open_disposition_t> suppressed_dispositions;
  std::function<bool(const CefString& url)> cancel_navigation;  // true cancels
  std::function<void(CefRequest::HeaderMap&)> edit_headers;
  std::function<bool(const CefString& url)> block_resource;
  bool destroy_window_itself = false;
  std::optional<CefString> download_path;  // unset: downloads are refused
  // Called for every download update; may pause, resume or cancel.
  std::function<void(const CefDownloadItem&, CefDownloadItemCallback&)> on_download_update;
};

}  // namespace tarvo::test
