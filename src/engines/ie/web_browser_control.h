#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "engines/ie/web_browser_events.h"
#include "platform/text.h"

class QPrinter;
class QWebPage;
class QWebView;

namespace tarvo::ie {

class AcceleratorTranslator;
class CompatNetwork;
class CompatPage;
class KeyEventFilter;

// The compatibility engine's browser control: a QtWebKit view with the operations
// and the six events of the WebBrowser control. The view has no frame, script
// errors raise no dialog, and the network is the compatibility engine's own (system
// proxy only, its own cookie jar).
// Lifetime: owns its view; destroying the control destroys the view. If the
// parent window goes first, the view goes with it and the operations do nothing.
// Threads: GUI thread only.
class WebBrowserControl : public QObject {
  Q_OBJECT
 public:
  // parent: the window the view is a child of (non-owning). network: must outlive
  // the control.
  WebBrowserControl(QWidget* parent, CompatNetwork& network);
  ~WebBrowserControl() override;

  // Non-owning; nullptr silences the events. Events may arrive during a control
  // operation (BeforeNavigate2 during Navigate, as the original control does).
  void SetEventSink(WebBrowserEvents* events) { events_ = events; }
  WebBrowserEvents* events() const { return events_; }
  // Non-owning; nullptr stops the translation.
  void SetAcceleratorTranslator(AcceleratorTranslator* translator);

  // Each returns 0, or -1 when the view is gone.
  int Navigate(const WString& url);
  int Refresh();
  int Stop();
  // Shows or hides the view.
  void Show(bool visible);
  // Shows the page at `factor` of its size (1 = 100 %).
  void SetZoomFactor(double factor);
  double ZoomFactor() const;
  // Searches for `text` from the current selection on, wrapping at the document's
  // end; true when a match was selected.
  bool Find(const WString& text, bool backward);
  // The main frame's document as markup (empty when the view is gone).
  WString DocumentSource() const;
  // Prints the main frame on `printer` (non-owning); false when the view is gone.
  bool Print(QPrinter* printer);
  // The view (non-owning), nullptr when gone.
  QWidget* Window() const;
  // The identity "top" events carry.
  DispatchId Dispatch() const { return this; }
  WString LocationURL() const;
  WString LocationName() const;

  // Layer use: the page new windows are loaded into.
  QWebPage* page() const;

 private:
  QPointer<QWebView> view_;  // owned (deleted in the destructor unless the parent went first)
  CompatPage* page_ = nullptr;  // owned by the view
  KeyEventFilter* key_filter_ = nullptr;  // owned by this control
  WebBrowserEvents* events_ = nullptr;
};

}  // namespace tarvo::ie
