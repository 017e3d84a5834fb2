#pragma once

#include <QPointer>
#include <QWidget>

#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

class CefBrowserHost;
class CefClient;
class CefFrame;
class CefRequestContext;
class EnginePage;
class EngineView;

// One engine browser: a web view, its page and the client that hears its callbacks.
// Made only by the layer (CefBrowserHost::CreateBrowser and pop-ups); callers hold
// it by CefRefPtr. After its window is gone (OnBeforeClose) it reports IsValid()
// false and its operations do nothing.
// Threads: engine UI thread (the GUI thread) only.
class CefBrowser : public std::enable_shared_from_this<CefBrowser> {
 public:
  // Layer use. view: the browser's window, owned by its Qt parent (or, without a
  // parent, by the layer until the browser closes). request_context: the context
  // whose profile the view was made in; the browser keeps it alive.
  CefBrowser(int identifier, CefRefPtr<CefClient> client, EngineView* view, bool is_popup,
             CefRefPtr<CefRequestContext> request_context);

  CefRefPtr<CefBrowserHost> GetHost();
  CefRefPtr<CefFrame> GetMainFrame();
  // Unique within the process, from 1 upwards; never reused.
  int GetIdentifier() const { return identifier_; }
  bool IsSame(const CefRefPtr<CefBrowser>& other) const { return other.get() == this; }
  bool IsPopup() const { return is_popup_; }
  bool IsValid() const { return !view_.isNull(); }
  bool IsLoading() const { return loading_; }
  bool CanGoBack() const;
  bool CanGoForward() const;
  void GoBack();
  void GoForward();
  void Reload();
  void ReloadIgnoreCache();
  void StopLoad();

  // Layer internals.
  EngineView* view() const;
  EnginePage* page() const;
  const CefRefPtr<CefClient>& client() const { return client_; }
  const CefRefPtr<CefRequestContext>& request_context() const { return request_context_; }
  void set_loading(bool loading) { loading_ = loading; }
  double zoom_level() const { return zoom_level_; }
  void set_zoom_level(double level) { zoom_level_ = level; }
  bool closing() const { return closing_; }
  void set_closing() { closing_ = true; }
  // The window has been destroyed (its QPointer may not have noticed yet).
  void clear_view() { view_ = nullptr; }
  int find_identifier() const { return find_identifier_; }
  void set_find_identifier(int identifier) { find_identifier_ = identifier; }

 private:
  const int identifier_;
  const CefRefPtr<CefClient> client_;
  QPointer<QWidget> view_;  // non-owning, an EngineView: the Qt parent (or CefShutdown) deletes it
  const bool is_popup_;
  const CefRefPtr<CefRequestContext> request_context_;
  CefRefPtr<CefBrowserHost> host_;
  CefRefPtr<CefFrame> main_frame_;
  bool loading_ = false;
  bool closing_ = false;
  double zoom_level_ = 0.0;
  int find_identifier_ = 0;
};

}  // namespace tarvo::cef
