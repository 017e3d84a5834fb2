#pragma once

#include <QPointer>
#include <QString>

#include "engines/webkitgtk/web_browser_control.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitPolicyDecision WebKitPolicyDecision;
typedef struct _WebKitNavigationAction WebKitNavigationAction;
typedef struct _WebKitFileChooserRequest WebKitFileChooserRequest;
typedef struct _WebKitPrintOperation WebKitPrintOperation;
typedef struct _WebKitContextMenu WebKitContextMenu;
typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _WebKitJavascriptResult WebKitJavascriptResult;
typedef struct _GtkWidget GtkWidget;
typedef struct _GdkEventScroll GdkEventScroll;
typedef struct _GCancellable GCancellable;
typedef struct _GTlsCertificate GTlsCertificate;
typedef struct _GError GError;
typedef struct _GObject GObject;
typedef struct _GParamSpec GParamSpec;

namespace tarvo::ie {

class PlugHost;
class WebKitProfile;

// The WebBrowser control on WebKitGTK: a WebKitWebView shown by a PlugHost, its
// signals turned into the control's events. Loads are reported for the top document
// (the engine loads frames inside it): BeforeNavigate2 when a load starts,
// NavigateComplete2 when its address is committed (and when the page changes its
// address without a load), DocumentComplete when it has loaded, NavigateError when
// it failed. A load that another one replaced, or that was stopped, is no error.
// A certificate error is put to the profile (the browser accepts mirrors of
// protected sites only); any other refused certificate shows the engine's own
// error page, so the user sees why the page is not there.
// Lifetime: owns its view through the host; async answers still pending when it goes
// are answered as failures.
// Threads: GUI thread.
class WebKitControl : public WebBrowserControl {
 public:
  // `profile` must outlive the control; `related` (may be null) is the control whose
  // page asked for this one as a new window.
  WebKitControl(QWidget* parent, WebKitProfile& profile, WebKitControl* related);
  ~WebKitControl() override;
  WebKitControl(const WebKitControl&) = delete;
  WebKitControl& operator=(const WebKitControl&) = delete;

  void SetEventSink(WebBrowserEvents* events) override { events_ = events; }
  WebBrowserEvents* EventSink() const override { return events_; }
  int Navigate(const WString& url) override;
  int Refresh() override;
  int Stop() override;
  void Show(bool visible) override;
  void SetZoomFactor(double factor) override;
  double ZoomFactor() const override;
  void Find(const WString& text, bool backward) override;
  void RunScript(const WString& script, TextDone done) override;
  void RunScriptInWorld(const QString& world, const WString& script, TextDone done) override;
  void AddPageScript(const QString& world, const QString& postFunction, const QString& source,
                     MessageHandler onMessage) override;
  void DocumentSource(TextDone done) override;
  void SaveAsPdf(const WString& path, Done done) override;
  void Print(QPrinter* printer, Done done) override;
  void TakePicture(PictureDone done) override;
  QWidget* Window() const override;
  WString LocationURL() const override;
  WString LocationName() const override;

 private:
  // GTK callbacks (int: gboolean).
  static void OnLoadChanged(WebKitWebView* view, int event, WebKitControl* control);
  static int OnLoadFailed(WebKitWebView* view, int event, const char* uri, GError* error, WebKitControl* control);
  static int OnTlsError(WebKitWebView* view, const char* uri, GTlsCertificate* certificate, int errors,
                        WebKitControl* control);
  static void OnTitle(GObject* view, GParamSpec* property, WebKitControl* control);
  static void OnUri(GObject* view, GParamSpec* property, WebKitControl* control);
  static int OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision, int type, WebKitControl* control);
  static GtkWidget* OnCreate(WebKitWebView* view, WebKitNavigationAction* action, WebKitControl* control);
  static int OnEnterFullScreen(WebKitWebView* view, WebKitControl* control);
  static int OnLeaveFullScreen(WebKitWebView* view, WebKitControl* control);
  static int OnPrint(WebKitWebView* view, WebKitPrintOperation* operation, WebKitControl* control);
  static int OnFileChooser(WebKitWebView* view, WebKitFileChooserRequest* request, WebKitControl* control);
  static int OnScroll(GtkWidget* view, GdkEventScroll* event, WebKitControl* control);
  static int OnContextMenu(WebKitWebView* view, WebKitContextMenu* menu, void* event, void* hit,
                           WebKitControl* control);
  static void OnClose(WebKitWebView* view, WebKitControl* control);
  static void OnProcessTerminated(WebKitWebView* view, int reason, WebKitControl* control);
  static void OnScriptMessage(WebKitUserContentManager* content, WebKitJavascriptResult* result,
                              WebKitControl* control);
  void Connect();
  void LookUpIcon();

  WebKitProfile& profile_;
  WebKitWebView* view_ = nullptr;  // owned reference (the plug holds another)
  WebKitUserContentManager* content_ = nullptr;  // owned reference: this view's page scripts
  MessageHandler messages_;        // what the page script of AddPageScript posts
  QPointer<PlugHost> host_;        // owned (deleted in the destructor unless the parent went first)
  GCancellable* cancellable_;      // owned; cancelled when the control goes
  WebBrowserEvents* events_ = nullptr;
  QString findText_;               // the text of the current search
  QString reportedUri_;            // the address last reported as committed
  bool loading_ = false;           // between a load's start and its end
  bool failed_ = false;            // the current load failed (reported as an error)
};

}  // namespace tarvo::ie
