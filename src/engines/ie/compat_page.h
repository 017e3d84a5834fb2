#pragma once

#include <QUrl>
#include <QWebPage>

namespace tarvo::ie {

class WebBrowserControl;

// The one place where QtWebKit's page is touched: turns its hooks and signals into
// the control's six events, answers the error-page question, and keeps script
// errors quiet (no dialog, no console output).
// Lifetime: a child of its control's view.
// Threads: GUI thread only.
class CompatPage : public QWebPage {
  Q_OBJECT
 public:
  CompatPage(WebBrowserControl* control, QObject* parent);

  bool supportsExtension(Extension extension) const override;
  bool extension(Extension extension, const ExtensionOption* option, ExtensionReturn* output) override;

 protected:
  bool acceptNavigationRequest(QWebFrame* frame, const QNetworkRequest& request, NavigationType type) override;
  QWebPage* createWindow(WebWindowType type) override;
  void javaScriptConsoleMessage(const QString& message, int line, const QString& source) override;

 private:
  const void* DispatchOf(QWebFrame* frame) const;
  void WatchFrame(QWebFrame* frame);

  WebBrowserControl* control_ = nullptr;  // non-owning: the control owns our view
  QUrl pending_window_url_;  // the address a new window was asked for, until it is made
};

}  // namespace tarvo::ie
