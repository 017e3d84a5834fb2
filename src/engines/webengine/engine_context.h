#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engines/webengine/cef_types.h"
#include "engines/webengine/webrtc_guard.h"

class QObject;
class QWebEngineDownloadRequest;
class QWebEngineProfile;

namespace tarvo {
class CertificatePolicy;
}

namespace tarvo::cef {

class CefApp;
class CefBrowser;
class DownloadTracker;
class CefClient;
class CefRequestContext;
class EnginePage;
class ProxySwitcher;

// The engine's process-wide state behind the entry points: settings, the profile,
// the live browsers and the proxy switcher. Created on first use; Shutdown releases
// everything the engine holds.
// Threads: GUI thread only (CefPostTask is the way in from other threads).
class EngineContext {
 public:
  // Process-wide by design: the engine runs once per process, as its library does.
  static EngineContext& Instance();

  // Before the toolkit exists: the engine's process-level environment (sandbox off
  // only for root, shared GL contexts).
  static void PrepareProcess();
  // The QTWEBENGINE_CHROMIUM_FLAGS text carrying the existing flags followed by the
  // switches (values with blanks are quoted).
  static std::string ComposeChromiumFlags(const std::string& existing, const std::vector<std::string>& switches);
  // The engine's own user agent as sites see it from a desktop Chrome of the same
  // release: without the "QtWebEngine/<version>" word, which only makes sites serve
  // pages for a browser they do not know.
  static QString BrowserUserAgent(const QString& engine_agent);

  // Applies the switches and settings; false when already initialised, shut down,
  // or called before the QApplication exists.
  bool Initialize(const CefMainArgs& args, const CefSettings& settings, CefApp* app);
  // Destroys every browser window (each client hears OnBeforeClose) and refuses
  // new browsers from then on. Idempotent.
  void Shutdown();

  bool running() const { return initialized_ && !shut_down_; }
  const CefSettings& settings() const { return settings_; }
  QWebEngineProfile* profile() const { return profile_; }
  // The judge of certificate errors; nullptr when not running.
  CertificatePolicy* certificate_policy() const { return running() ? certificate_policy_.get() : nullptr; }
  // Context object for the layer's queued calls; they are dropped after Shutdown.
  QObject* anchor() const { return anchor_.get(); }
  // The proxy switcher, created on first use; nullptr when not running.
  ProxySwitcher* proxy_switcher();
  // What keeps WebRTC on the proxy's road while the engine goes through one.
  WebRtcGuard& webrtc_guard() { return webrtc_guard_; }
  // The switcher if one was made (no switch has happened otherwise).
  ProxySwitcher* existing_proxy_switcher() const { return proxy_switcher_.get(); }
  // Bracket client calls made from inside the engine's own work, where the engine
  // cannot run a nested event loop.
  void EnterEngineCallback() { ++callback_depth_; }
  void LeaveEngineCallback() { --callback_depth_; }
  bool in_engine_callback() const { return callback_depth_ > 0; }

  // Empties the profile's HTTP cache. The engine does it in the background and then
  // rebuilds the profile's network context; Shutdown lets a recent one finish, since
  // a profile torn down before that is read after it was freed. False when not
  // running.
  bool ClearHttpCache();

  // Makes a browser with its window (no callbacks yet) in the profile of
  // `request_context` (the global context when null). nullptr when that context's
  // profile is gone.
  CefRefPtr<CefBrowser> MakeBrowser(const CefWindowInfo& window_info, CefRefPtr<CefClient> client, bool is_popup,
                                    CefRefPtr<CefRequestContext> request_context = nullptr);
  // A new off-the-record profile with the engine's settings (user agent, language,
  // downloads), cookies, cache and storage in memory only; owned by the caller (the
  // request context), and released at Shutdown when still there. nullptr when not
  // running.
  QWebEngineProfile* MakeOffTheRecordProfile();
  // Tells the browser's client that the browser exists.
  void Announce(const CefRefPtr<CefBrowser>& browser);
  // Second half of CloseBrowser: asks DoClose, then destroys the window unless
  // the client destroys it itself.
  void FinishClose(const CefRefPtr<CefBrowser>& browser);
  // The live browser shown by this page, or nullptr.
  CefRefPtr<CefBrowser> BrowserOfPage(const QObject* page) const;
  size_t browser_count() const { return browsers_.size(); }

 private:
  EngineContext() = default;
  void OnDownloadRequested(QWebEngineDownloadRequest* item);
  // The settings every profile of the engine gets, and its downloads.
  void ConfigureProfile(QWebEngineProfile* profile);
  // File pages of the profile read no other files.
  static void KeepLocalFilesApart(QWebEngineProfile* profile);
  // Follows an accepted download until it completes or is cancelled.
  void Track(QWebEngineDownloadRequest* item, const CefRefPtr<CefBrowser>& browser);
  void OnViewDestroyed(int identifier);

  CefSettings settings_;
  bool initialized_ = false;
  bool shut_down_ = false;
  QWebEngineProfile* profile_ = nullptr;  // owned; released at the end of Shutdown
  QElapsedTimer cache_cleared_;           // since the last ClearHttpCache
  std::unique_ptr<QObject> anchor_;
  std::unique_ptr<ProxySwitcher> proxy_switcher_;
  WebRtcGuard webrtc_guard_;
  std::unique_ptr<CertificatePolicy> certificate_policy_;
  std::map<int, CefRefPtr<CefBrowser>> browsers_;
  // Downloads the client accepted, by engine id, while they may still be asked for
  // again: the engine announces a download once more, as a new item, when it takes
  // it up after a lost connection.
  struct AcceptedDownload {
    QString directory;
    QString fileName;
    CefRefPtr<CefBrowser> browser;
    QPointer<DownloadTracker> tracker;
  };
  std::map<uint32_t, AcceptedDownload> accepted_;
  // Items the engine replaced by a new announcement: never updated again, never
  // finished. Left to the profile, they would cancel their download from their
  // destructor while the profile is being torn down (a crash at exit); they go in
  // Shutdown instead, while the profile still exists.
  std::vector<std::unique_ptr<QWebEngineDownloadRequest>> replaced_;
  int next_identifier_ = 1;
  int callback_depth_ = 0;
};

}  // namespace tarvo::cef
