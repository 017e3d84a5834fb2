#pragma once

#include <QWebEngineView>
#include <memory>

#include "engines/webengine/cef_context_menu_params.h"
#include "engines/webengine/cef_types.h"

class QWebEngineContextMenuRequest;
class QWebEngineProfile;

namespace tarvo::cef {

class CefBrowser;
class CefContextMenuParams;
class EnginePage;

// A browser's window: the engine's view with its EnginePage, and the context menu
// built by the client's context-menu handler.
// Lifetime: owned by its Qt parent; a view without a parent is deleted when its
// browser closes or at CefShutdown.
// Threads: GUI thread only.
class EngineView : public QWebEngineView {
  Q_OBJECT
 public:
  EngineView(QWebEngineProfile* profile, QWidget* parent);

  void Attach(const std::weak_ptr<CefBrowser>& browser);
  EnginePage* engine_page() const { return page_; }

  // The parameters the client sees for a context menu opened on this data.
  static CefContextMenuParams::Data ParamsFrom(const QWebEngineContextMenuRequest& data, const QUrl& page_url);

  // Object name of the menu shown for the page, so it can be found while open.
  static constexpr const char* kMenuObjectName = "cef_context_menu";

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void RunCommand(int command_id, const CefRefPtr<CefContextMenuParams>& params);
  void RunEngineCommand(int command_id);

  EnginePage* page_ = nullptr;  // owned: child of this view
  std::weak_ptr<CefBrowser> browser_;
};

}  // namespace tarvo::cef
