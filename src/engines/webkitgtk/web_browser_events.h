#pragma once

#include <string>

#include "platform/text.h"

class QKeyEvent;

namespace tarvo::ie {

class WebBrowserControl;

// Identifies where an event comes from: the control itself for the top-level
// document. Compare with WebBrowserControl::Dispatch() to tell "top" events; the
// engine reports the loads of the top document only (its frames load inside it).
using DispatchId = const void*;

// The compatibility control's events: the WebBrowser control's six, and what the
// view itself hands to its owner (keys, Ctrl+wheel, the page's icon, full screen).
// Every method has an empty default.
// Threads: GUI thread; events arrive from the event loop, never re-entrantly from a
// control operation.
class WebBrowserEvents {
 public:
  virtual ~WebBrowserEvents() = default;

  // A document (top or a frame) is about to be fetched. Set cancel to stop it.
  // target_frame_name is empty for the top document.
  virtual void BeforeNavigate2(DispatchId dispatch, const WString& url, int flags, const WString& target_frame_name,
                               const std::string& post_data, const WString& headers, bool& cancel) {
    (void)dispatch, (void)url, (void)flags, (void)target_frame_name, (void)post_data, (void)headers, (void)cancel;
  }
  // A document's address is known (after redirects).
  virtual void NavigateComplete2(DispatchId dispatch, const WString& url) { (void)dispatch, (void)url; }
  // A document has loaded.
  virtual void DocumentComplete(DispatchId dispatch, const WString& url) { (void)dispatch, (void)url; }
  // A document failed to load. status_code is the HTTP status for HTTP failures,
  // else the engine's network error code. Leave cancel false to let the control
  // show the engine's error page; set it to show none.
  virtual void NavigateError(DispatchId dispatch, const WString& url, const WString& target_frame_name,
                             int status_code, bool& cancel) {
    (void)dispatch, (void)url, (void)target_frame_name, (void)status_code, (void)cancel;
  }
  // The address asked for in the top document turned out to be a file: it is saved,
  // not shown, and the document stays what it was.
  virtual void NavigationBecameDownload(DispatchId dispatch, const WString& url) { (void)dispatch, (void)url; }
  // The top document's title changed.
  virtual void TitleChange(const WString& text) { (void)text; }
  // The page wants a new window for url (empty when the page opened it by script
  // without a known address). Hand back a control in new_browser (non-owning: the
  // handler keeps it) to show the window there; leave it null or set cancel to
  // refuse the window.
  virtual void NewWindow3(WebBrowserControl** new_browser, bool& cancel, int flags, const WString& url_context,
                          const WString& url) {
    (void)new_browser, (void)cancel, (void)flags, (void)url_context, (void)url;
  }

  // Every key press and release the view gets, before the page sees it (the page
  // sees every key, as the control's own translator let it).
  virtual void PageKey(const QKeyEvent& event) { (void)event; }
  // The wheel turned over the page with Ctrl held (delta in eighths of a degree);
  // the page does not scroll.
  virtual void ZoomWheel(int delta) { (void)delta; }
  // The top document names its icon (a link element, or the site's /favicon.ico).
  virtual void IconChange(const WString& url) { (void)url; }
  // The page asks to show an element on the whole screen, or to leave it.
  virtual void FullScreenRequest(bool enter) { (void)enter; }
  // The page asks to be printed (window.print()).
  virtual void PrintRequest() {}
  // The page asks to close its window (window.close() of a window it opened).
  virtual void CloseRequest() {}
  // The process that ran the page died (crashed, or was ended for its memory); the
  // view shows nothing until it loads again.
  virtual void ProcessGone() {}
};

}  // namespace tarvo::ie
