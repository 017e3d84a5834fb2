#include "engines/webengine/engine_page.h"

#include <QAuthenticator>
#include <QNetworkProxy>
#include <QPointer>
#include <QWebEngineCertificateError>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include "engines/webengine/cef_auth_callback.h"
#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_browser_host.h"
#include "engines/webengine/cef_client.h"
#include "engines/webengine/cef_display_handler.h"
#include "engines/webengine/cef_find_handler.h"
#include "engines/webengine/cef_frame.h"
#include "engines/webengine/cef_life_span_handler.h"
#include "engines/webengine/cef_load_handler.h"
#include "engines/webengine/cef_pdf_print_callback.h"
#include "engines/webengine/cef_request.h"
#include "engines/webengine/cef_request_context.h"
#include "engines/webengine/cef_request_handler.h"
#include "engines/shared/certificate_policy.h"
#include "engines/webengine/engine_context.h"
#include "engines/webengine/engine_view.h"
#include "engines/webengine/page_request_interceptor.h"
#include "engines/webengine/proxy_switcher.h"
#include "shell/pages/typed_into_script.h"
#include "url/url_encoding.h"

namespace tarvo::cef {

namespace {
cef_window_open_disposition_t DispositionOf(QWebEnginePage::WebWindowType type) {
  switch (type) {
    case QWebEnginePage::WebBrowserTab:
      return WOD_NEW_FOREGROUND_TAB;
    case QWebEnginePage::WebBrowserBackgroundTab:
      return WOD_NEW_BACKGROUND_TAB;
    case QWebEnginePage::WebDialog:
      return WOD_NEW_POPUP;
    case QWebEnginePage::WebBrowserWindow:
      return WOD_NEW_WINDOW;
  }
  return WOD_UNKNOWN;
}

// Pages show a view-style child window unless the client rewrites it.
constexpr uint32_t kChildVisibleStyle = 0x56010000;
}  // namespace

EnginePage::EnginePage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent), interceptor_(new PageRequestInterceptor(this)) {
  setUrlRequestInterceptor(interceptor_);
  // Typing into editable text leaves no value to compare, so a listener in the
  // browser's own script world notes it from the document's start; the page's own
  // scripts can neither see nor reset the mark.
  QWebEngineScript watch;
  watch.setName(QStringLiteral("typed-into"));
  watch.setSourceCode(QString::fromStdU16String(tarvo::TypedIntoScript::kWatch));
  watch.setInjectionPoint(QWebEngineScript::DocumentCreation);
  watch.setWorldId(QWebEngineScript::ApplicationWorld);
  watch.setRunsOnSubFrames(false);
  scripts().insert(watch);
  connect(this, &QWebEnginePage::loadStarted, this, [this] { ReportLoading(true); });
  connect(this, &QWebEnginePage::loadFinished, this, [this](bool) { ReportLoading(false); });
  connect(this, &QWebEnginePage::titleChanged, this, [this](const QString& title) {
    auto browser = browser_.lock();
    CefDisplayHandler* handler = browser != nullptr ? browser->client()->GetDisplayHandler() : nullptr;
    if (handler != nullptr) {
      handler->OnTitleChange(browser, title.toStdU16String());
    }
  });
  connect(this, &QWebEnginePage::authenticationRequired, this,
          [this](const QUrl& url, QAuthenticator* authenticator) {
            ReportAuthentication(url, authenticator, false, url.host());
          });
  connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
          [this](const QUrl& url, QAuthenticator* authenticator, const QString& proxy_host) {
            ReportAuthentication(url, authenticator, true, proxy_host);
          });
  connect(this, &QWebEnginePage::windowCloseRequested, this, [this] {
    if (auto browser = browser_.lock()) {
      browser->GetHost()->CloseBrowser(false);
    }
  });
  connect(this, &QWebEnginePage::findTextFinished, this, &EnginePage::ReportFindResult);
  connect(this, &QWebEnginePage::renderProcessTerminated, this, &EnginePage::ReportRendererEnd);
  connect(this, &QWebEnginePage::pdfPrintingFinished, this, &EnginePage::FinishPdf);
  connect(this, &QWebEnginePage::certificateError, this, &EnginePage::JudgeCertificateError);
}

EnginePage::~EnginePage() {
  // Prints still running when the page goes will never finish; say so.
  const auto pending = pdf_callbacks_;
  pdf_callbacks_.clear();
  for (auto it = pending.begin(); it != pending.end(); ++it) {
    if (it.value() != nullptr) {
      it.value()->OnPdfPrintFinished(it.key().toStdU16String(), false);
    }
  }
}

void EnginePage::Attach(const std::weak_ptr<CefBrowser>& browser) {
  browser_ = browser;
  interceptor_->Attach(browser);
}

void EnginePage::PrintToPdf(const QString& path, const QPageLayout& layout, CefRefPtr<CefPdfPrintCallback> callback) {
  if (pdf_callbacks_.contains(path)) {
    // One print per file at a time: a second one would race the first for the file.
    if (callback != nullptr) {
      callback->OnPdfPrintFinished(path.toStdU16String(), false);
    }
    return;
  }
  pdf_callbacks_.insert(path, std::move(callback));
  pdf_queue_.emplace_back(path, layout);
  if (pdf_running_.isEmpty()) {
    StartNextPdf();
  }
}

void EnginePage::StartNextPdf() {
  if (pdf_queue_.empty()) {
    return;
  }
  auto [path, layout] = std::move(pdf_queue_.front());
  pdf_queue_.pop_front();
  pdf_running_ = path;
  printToPdf(path, layout);
}

void EnginePage::FinishPdf(const QString& path, bool ok) {
  if (path == pdf_running_) {
    pdf_running_.clear();
  }
  auto it = pdf_callbacks_.find(path);
  if (it != pdf_callbacks_.end()) {
    CefRefPtr<CefPdfPrintCallback> callback = it.value();
    pdf_callbacks_.erase(it);
    if (callback != nullptr) {
      callback->OnPdfPrintFinished(path.toStdU16String(), ok);
    }
  }
  if (pdf_running_.isEmpty()) {
    StartNextPdf();
  }
}

bool EnginePage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool is_main_frame) {
  if (is_main_frame && !resumed_url_.isEmpty() && url == resumed_url_) {
    resumed_url_.clear();
    LetStartPageReadItsFiles(url);
    return true;
  }
  auto browser = browser_.lock();
  CefRequestHandler* handler = browser != nullptr ? browser->client()->GetRequestHandler() : nullptr;
  if (handler != nullptr) {
    const CefString address = url.toString().toStdU16String();
    CefRefPtr<CefFrame> frame =
        is_main_frame ? browser->GetMainFrame() : std::make_shared<CefFrame>(browser, false, address);
    auto request = std::make_shared<CefRequest>(address, CefString());
    EngineContext& engine = EngineContext::Instance();
    engine.EnterEngineCallback();
    const bool cancel = handler->OnBeforeBrowse(browser, frame, request, type == NavigationTypeRedirect);
    engine.LeaveEngineCallback();
    if (cancel) {
      return false;
    }
  }
  ProxySwitcher* switcher = EngineContext::Instance().existing_proxy_switcher();
  if (is_main_frame && switcher != nullptr && switcher->settling()) {
    // The proxy is changing and the engine has not taken it in yet: hold the
    // navigation and start it again once it has, so it cannot go the old way.
    QPointer<EnginePage> self(this);
    switcher->WhenSettled([self, url] {
      if (!self.isNull()) {
        self->resumed_url_ = url;
        self->load(url);
      }
    });
    return false;
  }
  if (is_main_frame) {
    LetStartPageReadItsFiles(url);
  }
  return true;
}

void EnginePage::LetStartPageReadItsFiles(const QUrl& url) {
  // A page opened from a file reads no other local file (not even its own pictures
  // and style sheets: the engine gives a page file access as a whole or not at all).
  // The browser's own start page is the one file page that needs its neighbours.
  static const WString start_page = GetHomePageUrl();
  settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls,
                           IsStartPageUrl(url.toString(QUrl::FullyEncoded).toStdU16String(), start_page));
}

QWebEnginePage* EnginePage::createWindow(WebWindowType type) {
  auto opener = browser_.lock();
  if (opener == nullptr || !EngineContext::Instance().running()) {
    return nullptr;
  }
  CefWindowInfo window_info;
  window_info.parent_window = opener->view() != nullptr ? opener->view()->parentWidget() : nullptr;
  window_info.style = kChildVisibleStyle;
  CefRefPtr<CefClient> client = opener->client();
  CefBrowserSettings settings;
  bool no_javascript_access = false;
  if (CefLifeSpanHandler* handler = client->GetLifeSpanHandler()) {
    const bool suppress =
        handler->OnBeforePopup(opener, opener->GetMainFrame(), CefString(), CefString(), DispositionOf(type), false,
                               CefPopupFeatures{}, window_info, client, settings, &no_javascript_access);
    if (suppress) {
      return nullptr;
    }
  }
  if (client == nullptr) {
    return nullptr;
  }
  EngineContext& engine = EngineContext::Instance();
  // A pop-up shares its opener's profile: one opened from a private window stays
  // off the record.
  auto popup = engine.MakeBrowser(window_info, client, true, opener->request_context());
  if (popup == nullptr) {
    return nullptr;
  }
  engine.Announce(popup);
  return popup->page();
}

void EnginePage::JudgeCertificateError(QWebEngineCertificateError error) {
  // Only the mirror addresses of protected sites may present a certificate that
  // does not match; everywhere else the engine's refusal protects the user.
  CertificatePolicy* policy = EngineContext::Instance().certificate_policy();
  if (policy != nullptr && policy->AcceptError(error.url(), error.isOverridable())) {
    error.acceptCertificate();
  } else {
    error.rejectCertificate();
  }
}

void EnginePage::ReportLoading(bool loading) {
  auto browser = browser_.lock();
  if (browser == nullptr) {
    return;
  }
  browser->set_loading(loading);
  if (!loading && browser->zoom_level() != 0.0) {
    // The engine keeps zoom per site; the layer keeps it per browser.
    setZoomFactor(CefBrowserHost::ZoomFactorForLevel(browser->zoom_level()));
  }
  if (CefLoadHandler* handler = browser->client()->GetLoadHandler()) {
    handler->OnLoadingStateChange(browser, loading, history()->canGoBack(), history()->canGoForward());
  }
}

void EnginePage::ReportAuthentication(const QUrl& url, QAuthenticator* authenticator, bool is_proxy,
                                      const QString& host) {
  auto browser = browser_.lock();
  CefRequestHandler* handler = browser != nullptr ? browser->client()->GetRequestHandler() : nullptr;
  auto callback = std::make_shared<CefAuthCallback>(authenticator);
  int port = url.port(url.scheme() == QLatin1String("https") ? 443 : 80);
  if (is_proxy) {
    const QNetworkProxy proxy = QNetworkProxy::applicationProxy();
    port = proxy.hostName() == host ? proxy.port() : 0;
  }
  bool answered = false;
  if (handler != nullptr) {
    const QString realm = authenticator->realm();
    const QString scheme = authenticator->option(QStringLiteral("scheme")).toString();
    answered = handler->GetAuthCredentials(browser, browser->GetMainFrame(), is_proxy, host.toStdU16String(), port,
                                           realm.toStdU16String(), scheme.toStdU16String(), callback) &&
               callback->answered();
  }
  if (!answered) {
    callback->Cancel();
  }
  callback->Expire();
}

void EnginePage::ReportRendererEnd(RenderProcessTerminationStatus status, int) {
  if (status == NormalTerminationStatus) {
    return;
  }
  auto browser = browser_.lock();
  CefRequestHandler* handler = browser != nullptr ? browser->client()->GetRequestHandler() : nullptr;
  if (handler == nullptr) {
    return;
  }
  cef_termination_status_t ended = TS_ABNORMAL_TERMINATION;
  if (status == CrashedTerminationStatus) {
    ended = TS_PROCESS_CRASHED;
  } else if (status == KilledTerminationStatus) {
    ended = TS_PROCESS_WAS_KILLED;
  }
  handler->OnRenderProcessTerminated(browser, ended);
}

void EnginePage::ClearFind() {
  ++unreported_find_results_;
  findText(QString());
}

void EnginePage::ReportFindResult(const QWebEngineFindTextResult& result) {
  if (unreported_find_results_ > 0) {
    --unreported_find_results_;
    return;
  }
  auto browser = browser_.lock();
  CefFindHandler* handler = browser != nullptr ? browser->client()->GetFindHandler() : nullptr;
  if (handler != nullptr) {
    handler->OnFindResult(browser, browser->find_identifier(), result.numberOfMatches(), result.activeMatch(), true);
  }
}

}  // namespace tarvo::cef
