#include "engines/webkitgtk/webkit_control.h"

#include <QFileDialog>
#include <QImage>
#include <QPrinter>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <vector>

#include "engines/webkitgtk/plug_host.h"
#include "engines/webkitgtk/webkit_download_job.h"
#include "engines/webkitgtk/webkit_print_job.h"
#include "engines/webkitgtk/webkit_profile.h"
#include "engines/webkitgtk/gtk_headers.h"

namespace tarvo::ie {

namespace {

constexpr guint kWheelStep = 120;  // eighths of a degree in one notch, as Qt counts them

// The top document as markup, its doctype first.
constexpr char16_t kSourceScript[] =
    u"(document.doctype ? new XMLSerializer().serializeToString(document.doctype) : '') + "
    u"document.documentElement.outerHTML";
// The address of the page's own icon link, or an empty text.
constexpr char16_t kIconScript[] =
    u"(function () { var l = document.querySelector('link[rel~=\"icon\" i]'); return l ? l.href : ''; })()";

QString Text(const char* utf8) { return utf8 != nullptr ? QString::fromUtf8(utf8) : QString(); }
WString Wide(const char* utf8) { return Text(utf8).toStdU16String(); }

// An answer the event loop delivers later, as an engine's answer would arrive.
template <class Callback, class... Args>
void AnswerLater(Callback done, Args... args) {
  QTimer::singleShot(0, [done = std::move(done), args...] {
    if (done) done(args...);
  });
}

struct ScriptCall {
  WebBrowserControl::TextDone done;
};

void ScriptFinished(GObject* view, GAsyncResult* result, gpointer data) {
  std::unique_ptr<ScriptCall> call(static_cast<ScriptCall*>(data));
  GError* error = nullptr;
  JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
  if (value == nullptr) {
    g_error_free(error);
    if (call->done) call->done(false, WString());
    return;
  }
  gchar* text = jsc_value_to_string(value);
  const WString answer = Wide(text);
  g_free(text);
  g_object_unref(value);
  if (call->done) call->done(true, answer);
}

struct PictureCall {
  WebBrowserControl::PictureDone done;
};

QImage ImageOf(cairo_surface_t* surface) {
  if (surface == nullptr || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return QImage();
  cairo_surface_flush(surface);
  const QImage view(cairo_image_surface_get_data(surface), cairo_image_surface_get_width(surface),
                    cairo_image_surface_get_height(surface), cairo_image_surface_get_stride(surface),
                    QImage::Format_ARGB32_Premultiplied);
  return view.copy();  // the surface goes with the call
}

void SnapshotFinished(GObject* view, GAsyncResult* result, gpointer data) {
  std::unique_ptr<PictureCall> call(static_cast<PictureCall*>(data));
  GError* error = nullptr;
  cairo_surface_t* surface = webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(view), result, &error);
  if (error != nullptr) g_error_free(error);
  const QImage picture = ImageOf(surface);
  if (surface != nullptr) cairo_surface_destroy(surface);
  if (call->done) call->done(picture);
}

bool IsCancellation(const GError* error) {
  return error != nullptr && ((error->domain == WEBKIT_NETWORK_ERROR && error->code == WEBKIT_NETWORK_ERROR_CANCELLED) ||
                              (error->domain == WEBKIT_POLICY_ERROR &&
                               error->code == WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE));
}

}  // namespace

WebKitControl::WebKitControl(QWidget* parent, WebKitProfile& profile, WebKitControl* related)
    : profile_(profile), content_(profile.NewContentManager()), cancellable_(g_cancellable_new()) {
  GObject* view = related != nullptr
                      ? static_cast<GObject*>(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", related->view_,
                                                           "settings", profile.Settings(), "user-content-manager",
                                                           content_, nullptr))
                      : static_cast<GObject*>(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", profile.Context(),
                                                           "settings", profile.Settings(), "user-content-manager",
                                                           content_, nullptr));
  view_ = WEBKIT_WEB_VIEW(g_object_ref_sink(view));
  host_ = new PlugHost(GTK_WIDGET(view_), parent);
  host_->SetKeyListener([this](const QKeyEvent& event) {
    if (events_ != nullptr) events_->PageKey(event);
  });
  g_object_set_data(G_OBJECT(view_), WebKitDownloadJob::kPageWindowKey, host_.data());
  Connect();
  if (parent != nullptr) host_->resize(parent->size());
  host_->show();
}

WebKitControl::~WebKitControl() {
  events_ = nullptr;
  g_cancellable_cancel(cancellable_);
  g_signal_handlers_disconnect_by_data(view_, this);
  g_signal_handlers_disconnect_by_data(content_, this);
  g_object_set_data(G_OBJECT(view_), WebKitDownloadJob::kPageWindowKey, nullptr);
  delete host_.data();
  g_object_unref(view_);
  g_object_unref(content_);
  g_object_unref(cancellable_);
}

void WebKitControl::Connect() {
  g_signal_connect(view_, "load-changed", G_CALLBACK(&WebKitControl::OnLoadChanged), this);
  g_signal_connect(view_, "load-failed", G_CALLBACK(&WebKitControl::OnLoadFailed), this);
  g_signal_connect(view_, "load-failed-with-tls-errors", G_CALLBACK(&WebKitControl::OnTlsError), this);
  g_signal_connect(view_, "notify::title", G_CALLBACK(&WebKitControl::OnTitle), this);
  g_signal_connect(view_, "notify::uri", G_CALLBACK(&WebKitControl::OnUri), this);
  g_signal_connect(view_, "decide-policy", G_CALLBACK(&WebKitControl::OnDecidePolicy), this);
  g_signal_connect(view_, "create", G_CALLBACK(&WebKitControl::OnCreate), this);
  g_signal_connect(view_, "enter-fullscreen", G_CALLBACK(&WebKitControl::OnEnterFullScreen), this);
  g_signal_connect(view_, "leave-fullscreen", G_CALLBACK(&WebKitControl::OnLeaveFullScreen), this);
  g_signal_connect(view_, "print", G_CALLBACK(&WebKitControl::OnPrint), this);
  g_signal_connect(view_, "run-file-chooser", G_CALLBACK(&WebKitControl::OnFileChooser), this);
  g_signal_connect(view_, "scroll-event", G_CALLBACK(&WebKitControl::OnScroll), this);
  g_signal_connect(view_, "context-menu", G_CALLBACK(&WebKitControl::OnContextMenu), this);
  g_signal_connect(view_, "close", G_CALLBACK(&WebKitControl::OnClose), this);
  g_signal_connect(view_, "web-process-terminated", G_CALLBACK(&WebKitControl::OnProcessTerminated), this);
}

int WebKitControl::Navigate(const WString& url) {
  if (host_.isNull()) return -1;
  webkit_web_view_load_uri(view_, QString::fromStdU16String(url).toUtf8().constData());
  return 0;
}

int WebKitControl::Refresh() {
  if (host_.isNull()) return -1;
  webkit_web_view_reload(view_);
  return 0;
}

int WebKitControl::Stop() {
  if (host_.isNull()) return -1;
  webkit_web_view_stop_loading(view_);
  return 0;
}

void WebKitControl::Show(bool visible) {
  if (!host_.isNull()) host_->setVisible(visible);
}

void WebKitControl::SetZoomFactor(double factor) { webkit_web_view_set_zoom_level(view_, factor); }

double WebKitControl::ZoomFactor() const { return webkit_web_view_get_zoom_level(view_); }

void WebKitControl::Find(const WString& text, bool backward) {
  WebKitFindController* finder = webkit_web_view_get_find_controller(view_);
  const QString wanted = QString::fromStdU16String(text);
  if (wanted != findText_ || wanted.isEmpty()) {
    findText_ = wanted;
    if (wanted.isEmpty()) {
      webkit_find_controller_search_finish(finder);
      return;
    }
    const guint options = WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND |
                          (backward ? WEBKIT_FIND_OPTIONS_BACKWARDS : 0);
    webkit_find_controller_search(finder, wanted.toUtf8().constData(), options, G_MAXUINT);
  } else if (backward) {
    webkit_find_controller_search_previous(finder);
  } else {
    webkit_find_controller_search_next(finder);
  }
}

void WebKitControl::RunScript(const WString& script, TextDone done) { RunScriptInWorld({}, script, std::move(done)); }

void WebKitControl::RunScriptInWorld(const QString& world, const WString& script, TextDone done) {
  const QByteArray source = QString::fromStdU16String(script).toUtf8();
  const QByteArray worldName = world.toUtf8();
  webkit_web_view_evaluate_javascript(view_, source.constData(), source.size(),
                                      world.isEmpty() ? nullptr : worldName.constData(), nullptr, cancellable_,
                                      &ScriptFinished, new ScriptCall{std::move(done)});
}

void WebKitControl::AddPageScript(const QString& world, const QString& postFunction, const QString& source,
                                  MessageHandler onMessage) {
  // The channel's name is the world's: one channel, and one script, per world.
  const QByteArray channel = world.toUtf8();
  messages_ = std::move(onMessage);
  g_signal_connect(content_, ("script-message-received::" + channel).constData(),
                   G_CALLBACK(&WebKitControl::OnScriptMessage), this);
  webkit_user_content_manager_register_script_message_handler_in_world(content_, channel.constData(),
                                                                       channel.constData());
  const QByteArray text =
      QStringLiteral("window.%1 = function (text) { window.webkit.messageHandlers['%2'].postMessage(String(text)); };\n")
          .arg(postFunction, world)
          .toUtf8() +
      source.toUtf8();
  WebKitUserScript* script =
      webkit_user_script_new_for_world(text.constData(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                       WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, channel.constData(), nullptr, nullptr);
  webkit_user_content_manager_add_script(content_, script);
  webkit_user_script_unref(script);
}

void WebKitControl::OnScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, WebKitControl* control) {
  if (!control->messages_) return;
  gchar* text = jsc_value_to_string(webkit_javascript_result_get_js_value(result));
  const WString message = Wide(text);
  g_free(text);
  control->messages_(message);
}

void WebKitControl::DocumentSource(TextDone done) { RunScript(kSourceScript, std::move(done)); }

void WebKitControl::SaveAsPdf(const WString& path, Done done) {
  WebKitPrintJob::ToPdf(view_, QString::fromStdU16String(path), std::move(done));
}

void WebKitControl::Print(QPrinter* printer, Done done) {
  if (printer == nullptr) {
    AnswerLater(std::move(done), false);
    return;
  }
  WebKitPrintJob::ToPrinter(view_, *printer, std::move(done));
}

void WebKitControl::TakePicture(PictureDone done) {
  webkit_web_view_get_snapshot(view_, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE, cancellable_,
                               &SnapshotFinished, new PictureCall{std::move(done)});
}

QWidget* WebKitControl::Window() const { return host_.data(); }

WString WebKitControl::LocationURL() const { return Wide(webkit_web_view_get_uri(view_)); }

WString WebKitControl::LocationName() const { return Wide(webkit_web_view_get_title(view_)); }

void WebKitControl::OnLoadChanged(WebKitWebView* view, int event, WebKitControl* control) {
  WebBrowserEvents* events = control->events_;
  const WString uri = Wide(webkit_web_view_get_uri(view));
  switch (event) {
    case WEBKIT_LOAD_STARTED: {
      control->loading_ = true;
      control->failed_ = false;
      bool cancel = false;
      if (events != nullptr) events->BeforeNavigate2(control->Dispatch(), uri, 0, WString(), std::string(), WString(), cancel);
      if (cancel) webkit_web_view_stop_loading(view);
      break;
    }
    case WEBKIT_LOAD_COMMITTED:
      control->reportedUri_ = QString::fromStdU16String(uri);
      if (events != nullptr) events->NavigateComplete2(control->Dispatch(), uri);
      break;
    case WEBKIT_LOAD_FINISHED:
      control->loading_ = false;
      if (control->failed_) break;
      if (events != nullptr) events->DocumentComplete(control->Dispatch(), uri);
      control->LookUpIcon();
      break;
    default:
      break;
  }
}

int WebKitControl::OnLoadFailed(WebKitWebView*, int, const char* uri, GError* error, WebKitControl* control) {
  // Replaced by another load, or stopped: the load's end is reported when it comes.
  if (IsCancellation(error)) return FALSE;
  control->failed_ = true;
  bool cancel = false;
  if (WebBrowserEvents* events = control->events_) {
    const int status = error != nullptr ? error->code : 0;
    events->NavigateError(control->Dispatch(), Wide(uri), WString(), status, cancel);
  }
  // A refused certificate always explains itself on the engine's page.
  const bool certificate = error != nullptr && error->domain == G_TLS_ERROR;
  return cancel && !certificate ? TRUE : FALSE;
}

int WebKitControl::OnTlsError(WebKitWebView* view, const char* uri, GTlsCertificate* certificate, int,
                              WebKitControl* control) {
  if (!control->profile_.AcceptCertificate(Text(uri), certificate)) return FALSE;
  webkit_web_view_load_uri(view, uri);
  return TRUE;
}

void WebKitControl::OnTitle(GObject*, GParamSpec*, WebKitControl* control) {
  const QString title = Text(webkit_web_view_get_title(control->view_));
  // The page's node in the window's accessibility tree goes by the page's title.
  if (control->host_ != nullptr) control->host_->setAccessibleName(title);
  if (control->events_ != nullptr && !title.isEmpty()) control->events_->TitleChange(title.toStdU16String());
}

void WebKitControl::OnUri(GObject*, GParamSpec*, WebKitControl* control) {
  // A page that changes its address without a load (a fragment, history.pushState).
  if (control->loading_) return;
  const QString uri = Text(webkit_web_view_get_uri(control->view_));
  if (uri.isEmpty() || uri == control->reportedUri_) return;
  control->reportedUri_ = uri;
  if (control->events_ != nullptr) control->events_->NavigateComplete2(control->Dispatch(), uri.toStdU16String());
}

int WebKitControl::OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision, int type,
                                  WebKitControl* control) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return FALSE;
  // What the engine cannot show in the page itself is saved, as in any browser.
  auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
  if (webkit_response_policy_decision_is_main_frame_main_resource(response) &&
      !webkit_response_policy_decision_is_mime_type_supported(response)) {
    const WString url = Wide(webkit_uri_request_get_uri(webkit_response_policy_decision_get_request(response)));
    webkit_policy_decision_download(decision);
    if (control->events_ != nullptr) control->events_->NavigationBecameDownload(control->Dispatch(), url);
    return TRUE;
  }
  (void)view;
  return FALSE;
}

GtkWidget* WebKitControl::OnCreate(WebKitWebView* view, WebKitNavigationAction* action, WebKitControl* control) {
  if (control->events_ == nullptr) return nullptr;
  WebBrowserControl* opened = nullptr;
  bool cancel = false;
  const char* target = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  control->events_->NewWindow3(&opened, cancel, 0, Wide(webkit_web_view_get_uri(view)), Wide(target));
  if (cancel || opened == nullptr) return nullptr;
  // The engine loads the new window's address into this view itself.
  return GTK_WIDGET(static_cast<WebKitControl*>(opened)->view_);
}

int WebKitControl::OnEnterFullScreen(WebKitWebView*, WebKitControl* control) {
  if (control->events_ != nullptr) control->events_->FullScreenRequest(true);
  return TRUE;  // the browser's window goes full screen, not the plug
}

int WebKitControl::OnLeaveFullScreen(WebKitWebView*, WebKitControl* control) {
  if (control->events_ != nullptr) control->events_->FullScreenRequest(false);
  return TRUE;
}

int WebKitControl::OnPrint(WebKitWebView*, WebKitPrintOperation*, WebKitControl* control) {
  // The browser's own print dialog, as for its print command.
  if (control->events_ != nullptr) control->events_->PrintRequest();
  return TRUE;
}

int WebKitControl::OnFileChooser(WebKitWebView*, WebKitFileChooserRequest* request, WebKitControl* control) {
  // The browser's file dialog, like every other dialog of the browser.
  QFileDialog dialog(control->host_.isNull() ? nullptr : control->host_->window());
  dialog.setFileMode(webkit_file_chooser_request_get_select_multiple(request) ? QFileDialog::ExistingFiles
                                                                               : QFileDialog::ExistingFile);
  if (const gchar* const* types = webkit_file_chooser_request_get_mime_types(request)) {
    QStringList filters;
    for (; *types != nullptr; ++types) filters << QString::fromUtf8(*types);
    if (!filters.isEmpty()) dialog.setMimeTypeFilters(filters << QStringLiteral("application/octet-stream"));
  }
  const QStringList files = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
  if (files.isEmpty()) {
    webkit_file_chooser_request_cancel(request);
    return TRUE;
  }
  std::vector<QByteArray> bytes;
  std::vector<const gchar*> list;
  for (const QString& file : files) bytes.push_back(file.toUtf8());
  for (const QByteArray& file : bytes) list.push_back(file.constData());
  list.push_back(nullptr);
  webkit_file_chooser_request_select_files(request, list.data());
  return TRUE;
}

int WebKitControl::OnScroll(GtkWidget*, GdkEventScroll* event, WebKitControl* control) {
  if ((event->state & GDK_CONTROL_MASK) == 0 || control->events_ == nullptr) return FALSE;
  int delta = 0;
  switch (event->direction) {
    case GDK_SCROLL_UP: delta = static_cast<int>(kWheelStep); break;
    case GDK_SCROLL_DOWN: delta = -static_cast<int>(kWheelStep); break;
    case GDK_SCROLL_SMOOTH: delta = static_cast<int>(-event->delta_y * kWheelStep); break;
    default: return FALSE;
  }
  if (delta != 0) control->events_->ZoomWheel(delta);
  return TRUE;  // the page does not scroll under a zoom
}

int WebKitControl::OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, void*, void*, WebKitControl*) {
  // A tab's history is the browser's: back and forward are the toolbar's, which know
  // the whole of it, so the engine's own entries for them go.
  std::vector<WebKitContextMenuItem*> engineHistory;
  for (GList* item = webkit_context_menu_get_items(menu); item != nullptr; item = item->next) {
    auto* entry = WEBKIT_CONTEXT_MENU_ITEM(item->data);
    const WebKitContextMenuAction action = webkit_context_menu_item_get_stock_action(entry);
    if (action == WEBKIT_CONTEXT_MENU_ACTION_GO_BACK || action == WEBKIT_CONTEXT_MENU_ACTION_GO_FORWARD) {
      engineHistory.push_back(entry);
    }
  }
  for (WebKitContextMenuItem* entry : engineHistory) webkit_context_menu_remove(menu, entry);
  return FALSE;  // the rest of the engine's menu shows
}

void WebKitControl::OnClose(WebKitWebView*, WebKitControl* control) {
  if (control->events_ != nullptr) control->events_->CloseRequest();
}

void WebKitControl::OnProcessTerminated(WebKitWebView*, int reason, WebKitControl* control) {
  // The browser's own ending of a process is no crash.
  if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) return;
  control->loading_ = false;
  if (control->events_ != nullptr) control->events_->ProcessGone();
}

void WebKitControl::LookUpIcon() {
  RunScript(kIconScript, [this](bool ok, const WString& url) {
    // A control that went first answers with ok = false and is not touched.
    if (ok && !url.empty() && events_ != nullptr) events_->IconChange(url);
  });
}

}  // namespace tarvo::ie
