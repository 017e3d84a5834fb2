#include "engines/webengine/engine_context.h"

#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include "engines/webengine/cef_app.h"
#include "engines/webengine/cef_before_download_callback.h"
#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_browser_process_handler.h"
#include "engines/webengine/cef_client.h"
#include "engines/webengine/cef_command_line.h"
#include "engines/webengine/cef_download_handler.h"
#include "engines/webengine/cef_life_span_handler.h"
#include "engines/webengine/cef_request_context.h"
#include "engines/webengine/display_compositing.h"
#include "engines/shared/certificate_policy.h"
#include "engines/webengine/download_tracker.h"
#include "engines/webengine/engine_page.h"
#include "engines/webengine/engine_view.h"
#include "engines/webengine/proxy_switcher.h"

namespace tarvo::cef {

namespace {
constexpr uint32_t kVisibleStyle = 0x10000000;
constexpr const char* kChromiumFlagsVariable = "QTWEBENGINE_CHROMIUM_FLAGS";
constexpr const char* kProfileName = "Default";
}  // namespace

EngineContext& EngineContext::Instance() {
  static EngineContext context;
  return context;
}

void EngineContext::PrepareProcess() {
  // Chromium cannot sandbox its processes under root; everywhere else the sandbox
  // stays on.
  if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX")) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  }
  // Qt WebEngine leaves pages out of the accessibility tree on Linux unless asked;
  // asked, it builds a page's tree only while assistive technology listens.
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY")) {
    qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
  }
  // Pages composited through OpenGL need the toolkit's shared contexts; drawn in
  // software they need no OpenGL at all.
  if (QCoreApplication::instance() == nullptr && !DisplayCompositing::ChooseBeforeApplication()) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  }
}

std::string EngineContext::ComposeChromiumFlags(const std::string& existing, const std::vector<std::string>& switches) {
  std::string flags = existing;
  for (const std::string& text : switches) {
    if (!flags.empty()) {
      flags += ' ';
    }
    const auto equals = text.find('=');
    if (equals != std::string::npos && text.find(' ', equals) != std::string::npos) {
      flags += text.substr(0, equals + 1) + '"' + text.substr(equals + 1) + '"';
    } else {
      flags += text;
    }
  }
  return flags;
}

QString EngineContext::BrowserUserAgent(const QString& engine_agent) {
  static const QRegularExpression kQtWord(QStringLiteral(" QtWebEngine/[^ ]*"));
  return QString(engine_agent).remove(kQtWord);
}

bool EngineContext::Initialize(const CefMainArgs& args, const CefSettings& settings, CefApp* app) {
  if (initialized_ || shut_down_ || QCoreApplication::instance() == nullptr) {
    return false;
  }
  settings_ = settings;
  DisplayCompositing::ForgetChoiceInEnvironment();
  // The program's own arguments are not engine switches: start from the program
  // name alone.
  const char* program = args.argc > 0 && args.argv != nullptr ? args.argv[0] : "tarvo-browser";
  auto command_line = CefCommandLine::CreateFromArgv(1, &program);
  if (!settings.locale.empty()) {
    command_line->AppendSwitchWithValue("lang", settings.locale);
  }
  if (!settings.log_file.empty()) {
    command_line->AppendSwitch("enable-logging");
    command_line->AppendSwitchWithValue("log-file", settings.log_file);
  }
  if (app != nullptr) {
    app->OnBeforeCommandLineProcessing(std::string(), *command_line);
  }
  // The engine reads its switches once, when its first object is made, from this
  // variable (which replaces the process arguments); earlier flags stay in front.
  const std::string flags =
      ComposeChromiumFlags(qgetenv(kChromiumFlagsVariable).toStdString(), command_line->GetSwitchTexts());
  qputenv(kChromiumFlagsVariable, QByteArray::fromStdString(flags));

  // A named profile keeps cookies, cache and storage on disk (the engine's default
  // profile is off the record); its name gives it the folders the browser has always
  // used, so a user's cookies and storage stay.
  profile_ = new QWebEngineProfile(QString::fromLatin1(kProfileName));
  if (!settings.cache_path.empty()) {
    profile_->setCachePath(QString::fromStdString(settings.cache_path));
    profile_->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
  }
  certificate_policy_ = std::make_unique<CertificatePolicy>(settings.mirror_for_certificate_error);
  anchor_ = std::make_unique<QObject>();
  ConfigureProfile(profile_);
  initialized_ = true;
  if (app != nullptr && app->GetBrowserProcessHandler() != nullptr) {
    app->GetBrowserProcessHandler()->OnContextInitialized();
  }
  return true;
}

void EngineContext::ConfigureProfile(QWebEngineProfile* profile) {
  // Prefetching resolves the names of a page's links here, also while requests go
  // through a proxy that resolves them itself: the VPN's node would be bypassed.
  profile->settings()->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
  webrtc_guard_.AddProfile(profile);
  profile->setHttpUserAgent(settings_.user_agent.empty() ? BrowserUserAgent(profile->httpUserAgent())
                                                         : QString::fromStdString(settings_.user_agent));
  const std::string& languages = settings_.accept_language.empty() ? settings_.locale : settings_.accept_language;
  if (!languages.empty()) {
    profile->setHttpAcceptLanguage(QString::fromStdString(languages));
  }
  QObject::connect(profile, &QWebEngineProfile::downloadRequested, anchor_.get(),
                   [this](QWebEngineDownloadRequest* item) { OnDownloadRequested(item); });
  KeepLocalFilesApart(profile);
}

void EngineContext::KeepLocalFilesApart(QWebEngineProfile* profile) {
  // A page opened from a file (an HTML file saved from the web and opened from the
  // download list, a restored file: tab) is an origin of its own, like any site: it
  // must not read other local files, nor reach out to sites with them.
  QWebEngineSettings* settings = profile->settings();
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
}

QWebEngineProfile* EngineContext::MakeOffTheRecordProfile() {
  if (!running()) {
    return nullptr;
  }
  // A profile without a storage name is off the record: the engine keeps its
  // cookies, cache, local storage and visited links in memory. Parented to the
  // anchor, so Shutdown releases one still held, before the engine's own profile.
  auto* profile = new QWebEngineProfile(anchor_.get());
  profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
  profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
  ConfigureProfile(profile);
  return profile;
}

void EngineContext::Shutdown() {
  if (!initialized_ || shut_down_) {
    return;
  }
  // The engine gives no word when a cache clearing is done; it takes well under
  // this on a local disk.
  constexpr qint64 kCacheClearingMs = 2000;
  if (cache_cleared_.isValid() && cache_cleared_.elapsed() < kCacheClearingMs) {
    QEventLoop wait;
    QTimer::singleShot(static_cast<int>(kCacheClearingMs - cache_cleared_.elapsed()), &wait, &QEventLoop::quit);
    wait.exec();
  }
  shut_down_ = true;
  // Copy: destroying a view erases its browser from the map.
  const auto browsers = browsers_;
  for (const auto& [identifier, browser] : browsers) {
    if (EngineView* view = browser->view()) {
      delete view;
    }
  }
  browsers_.clear();
  accepted_.clear();
  replaced_.clear();
  proxy_switcher_.reset();
  anchor_.reset();
  // Views and pages whose deletion was only scheduled go now, while the profile
  // they belong to still exists: the profile is released with the application
  // object, and pages outliving it are a known cause of crashes at exit.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  // Last, with no page left on it: releasing the profile writes its cookies out.
  delete profile_;
  profile_ = nullptr;
}

bool EngineContext::ClearHttpCache() {
  if (!running() || profile_ == nullptr) {
    return false;
  }
  profile_->clearHttpCache();
  cache_cleared_.start();
  return true;
}

ProxySwitcher* EngineContext::proxy_switcher() {
  if (!running()) {
    return nullptr;
  }
  if (proxy_switcher_ == nullptr) {
    proxy_switcher_ = std::make_unique<ProxySwitcher>(profile_);
  }
  return proxy_switcher_.get();
}

CefRefPtr<CefBrowser> EngineContext::MakeBrowser(const CefWindowInfo& window_info, CefRefPtr<CefClient> client,
                                                 bool is_popup, CefRefPtr<CefRequestContext> request_context) {
  if (request_context == nullptr) {
    request_context = CefRequestContext::GetGlobalContext();
  }
  QWebEngineProfile* profile = request_context->profile();
  if (profile == nullptr) {
    return nullptr;
  }
  auto* view = new EngineView(profile, window_info.parent_window);
  view->setGeometry(window_info.x, window_info.y, window_info.width, window_info.height);
  const int identifier = next_identifier_++;
  auto browser = std::make_shared<CefBrowser>(identifier, std::move(client), view, is_popup, std::move(request_context));
  view->Attach(browser);
  browsers_[identifier] = browser;
  QObject::connect(view, &QObject::destroyed, anchor_.get(), [this, identifier] { OnViewDestroyed(identifier); });
  if ((window_info.style & kVisibleStyle) != 0) {
    view->show();
  } else {
    // Explicitly hidden: a view made before its window is shown would otherwise
    // appear with the window, whichever tab it belongs to.
    view->hide();
  }
  return browser;
}

void EngineContext::Announce(const CefRefPtr<CefBrowser>& browser) {
  if (browser == nullptr || browser->client() == nullptr) {
    return;
  }
  if (CefLifeSpanHandler* handler = browser->client()->GetLifeSpanHandler()) {
    handler->OnAfterCreated(browser);
  }
}

void EngineContext::FinishClose(const CefRefPtr<CefBrowser>& browser) {
  if (!browser->IsValid()) {
    return;
  }
  CefLifeSpanHandler* handler = browser->client() != nullptr ? browser->client()->GetLifeSpanHandler() : nullptr;
  const bool client_destroys = handler != nullptr && handler->DoClose(browser);
  if (!client_destroys && browser->view() != nullptr) {
    browser->view()->deleteLater();
  }
}

CefRefPtr<CefBrowser> EngineContext::BrowserOfPage(const QObject* page) const {
  for (const auto& [identifier, browser] : browsers_) {
    if (browser->page() == page) {
      return browser;
    }
  }
  return nullptr;
}

void EngineContext::OnViewDestroyed(int identifier) {
  auto it = browsers_.find(identifier);
  if (it == browsers_.end()) {
    return;
  }
  CefRefPtr<CefBrowser> browser = it->second;
  browsers_.erase(it);
  browser->clear_view();
  CefLifeSpanHandler* handler = browser->client() != nullptr ? browser->client()->GetLifeSpanHandler() : nullptr;
  if (handler != nullptr) {
    handler->OnBeforeClose(browser);
  }
}

void EngineContext::OnDownloadRequested(QWebEngineDownloadRequest* item) {
  if (auto known = accepted_.find(item->id()); known != accepted_.end()) {
    // The engine takes up a download the client has already placed: it goes on into
    // the same file, and the client hears of it from the new item from now on (the
    // old one is never updated again).
    item->setDownloadDirectory(known->second.directory);
    item->setDownloadFileName(known->second.fileName);
    item->accept();
    if (DownloadTracker* old = known->second.tracker.data()) {
      auto* replaced = qobject_cast<QWebEngineDownloadRequest*>(old->parent());
      delete old;
      if (replaced != nullptr && replaced != item) {
        replaced->setParent(nullptr);
        replaced_.emplace_back(replaced);
      }
    }
    Track(item, known->second.browser);
    return;
  }
  CefRefPtr<CefBrowser> browser = BrowserOfPage(item->page());
  CefDownloadHandler* handler =
      browser != nullptr && browser->client() != nullptr ? browser->client()->GetDownloadHandler() : nullptr;
  if (handler == nullptr) {
    item->cancel();
    return;
  }
  auto callback = std::make_shared<CefBeforeDownloadCallback>(item);
  handler->OnBeforeDownload(browser, std::make_shared<CefDownloadItem>(DownloadTracker::Snapshot(*item)),
                            item->suggestedFileName().toStdU16String(), callback);
  callback->Expire();
  if (!callback->accepted()) {
    item->cancel();
    return;
  }
  Track(item, browser);
}

void EngineContext::Track(QWebEngineDownloadRequest* item, const CefRefPtr<CefBrowser>& browser) {
  auto* tracker = new DownloadTracker(item, browser, browser->client());
  const uint32_t id = item->id();
  accepted_[id] = {item->downloadDirectory(), item->downloadFileName(), browser, tracker};
  QObject::connect(item, &QWebEngineDownloadRequest::isFinishedChanged, anchor_.get(), [this, id, item] {
    // An interrupted download may still be resumed, and then announced again; an
    // item the engine has replaced says nothing about the download.
    const auto known = accepted_.find(id);
    const bool current = known != accepted_.end() && known->second.tracker == item->findChild<DownloadTracker*>();
    if (current && item->state() != QWebEngineDownloadRequest::DownloadInterrupted) accepted_.erase(known);
  });
  tracker->ReportSoon();
}

}  // namespace tarvo::cef
