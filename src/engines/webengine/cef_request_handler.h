#pragma once

#include "engines/webengine/cef_string.h"
#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

class CefAuthCallback;
class CefBrowser;
class CefFrame;
class CefRequest;

// Navigations and network requests of a browser.
// Threads: engine UI thread (the GUI thread).
class CefRequestHandler {
 public:
  virtual ~CefRequestHandler() = default;

  // A frame is about to navigate (main frame or sub-frame; is_redirect for a server
  // redirect). Return true to cancel the navigation.
  virtual bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefRequest> request,
                              bool is_redirect) {
    (void)browser, (void)frame, (void)request, (void)is_redirect;
    return false;
  }
  // Every resource request of the browser, before it is sent. Headers added to the
  // request's header map are sent (several values of one name are joined with
  // ", "). RV_CANCEL blocks the request; RV_CONTINUE_ASYNC is not offered by this
  // engine and is treated as RV_CONTINUE.
  virtual cef_return_value_t OnBeforeResourceLoad(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                                  CefRefPtr<CefRequest> request) {
    (void)browser, (void)frame, (void)request;
    return RV_CONTINUE;
  }
  // The renderer process that drew the browser's page ended (a crash, or it was
  // killed); the page shows nothing until it loads again. A normal end, as when the
  // browser closes, is not reported.
  virtual void OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser, cef_termination_status_t status) {
    (void)browser, (void)status;
  }
  // A server or proxy asks for credentials. Return true and call callback->Continue
  // (before returning: this engine needs the answer at once) to answer; false
  // refuses, and the request fails with the challenge.
  virtual bool GetAuthCredentials(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, bool is_proxy,
                                  const CefString& host, int port, const CefString& realm, const CefString& scheme,
                                  CefRefPtr<CefAuthCallback> callback) {
    (void)browser, (void)frame, (void)is_proxy, (void)host, (void)port, (void)realm, (void)scheme, (void)callback;
    return false;
  }
};

}  // namespace tarvo::cef
