#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

class QUrl;
class QWidget;

namespace tarvo::ie {

class WebBrowserControl;

// Where one profile of the compatibility engine keeps what its pages leave.
struct CompatProfileOptions {
  // Cookies, local storage and the other site data; empty for a private profile,
  // which writes nothing to disk and forgets everything when it goes.
  QString dataFolder;
  // The HTTP cache (ignored for a private profile).
  QString cacheFolder;
};

// What a site left in a profile, for clearing.
enum CompatData : unsigned {
  kCompatCookies = 1u << 0,
  kCompatCache = 1u << 1,       // the HTTP cache and the engine's memory caches
  kCompatSiteStorage = 1u << 2,  // local and session storage, databases, service workers
};

// A set of pages that share cookies and site data: the ordinary windows share one,
// each private window has its own.
// Lifetime: outlives the controls made in it (it may go while its engine runs on).
// Threads: GUI thread.
class CompatProfile {
 public:
  virtual ~CompatProfile() = default;
  virtual bool IsPrivate() const = 0;
  // Removes `kinds` (CompatData bits) of every site; `done` hears whether all went.
  virtual void Clear(unsigned kinds, std::function<void(bool ok)> done) = 0;
};

// One download the engine runs for a page.
// Lifetime: valid from CompatDownloadListener::Begin until Finished has returned.
class CompatDownload {
 public:
  virtual ~CompatDownload() = default;
  // The address the download started from (before redirects).
  virtual QString Url() const = 0;
  // Stops the download; Finished follows with complete = false.
  virtual void Cancel() = 0;
  // The window of the page the download started in (non-owning), or nullptr when that
  // page is gone or the download has none.
  virtual QWidget* PageWindow() const = 0;

 protected:
  CompatDownload() = default;
};

// Hears the engine's downloads. Threads: GUI thread.
class CompatDownloadListener {
 public:
  // A download wants to start: the path its bytes go to (the engine writes there and
  // overwrites what is there), or empty to refuse it (nothing is written).
  virtual QString Begin(CompatDownload& download, const QString& suggestedName, bool privateProfile) = 0;
  // Bytes arrived; total is 0 while unknown.
  virtual void Progress(CompatDownload& download, int64_t received, int64_t total) = 0;
  // The download ended: complete, or failed or cancelled (the file at its path is
  // then whatever the engine left of it).
  virtual void Finished(CompatDownload& download, bool complete) = 0;

 protected:
  ~CompatDownloadListener() = default;
};

// The compatibility engine, loaded with its libraries when the first compatibility
// page opens (CompatEngineLoader); before that nothing of it is in the process.
// Lifetime: once loaded it stays for the rest of the process.
// Threads: GUI thread.
class CompatEngine {
 public:
  // Raised whenever the interface between the browser and the engine's module
  // changes, so a module of another build is refused instead of misread.
  static constexpr int kInterfaceVersion = 1;

  // Decides a certificate error met at an address: true accepts that host's
  // certificate for the profile's pages.
  using CertificateErrorPolicy = std::function<bool(const QUrl& url)>;

  virtual ~CompatEngine() = default;

  virtual std::unique_ptr<CompatProfile> CreateProfile(const CompatProfileOptions& options) = 0;
  // A view inside `parent` (non-owning, may be nullptr) in `profile`; `related` (may
  // be nullptr) is the control whose page opened this one as a new window, so the
  // two pages can script each other.
  virtual std::unique_ptr<WebBrowserControl> CreateControl(QWidget* parent, CompatProfile& profile,
                                                           WebBrowserControl* related) = 0;
  // Non-owning; nullptr refuses every download.
  virtual void SetDownloadListener(CompatDownloadListener* listener) = 0;
  // Asked for every certificate error of every profile; without one, all are refused.
  virtual void SetCertificateErrorPolicy(CertificateErrorPolicy policy) = 0;
  // Gives the languages pages are asked for (Accept-Language), most wanted first, such
  // as "zh-CN" or "en-US"; asked again whenever a view is made, so a language the user
  // chose reaches the engine's pages with the next compatibility tab.
  using LanguageSource = std::function<QStringList()>;
  virtual void SetLanguageSource(LanguageSource languages) = 0;
  // Whether the engine's web processes run inside their sandbox.
  virtual bool IsSandboxed() const = 0;
};

}  // namespace tarvo::ie
