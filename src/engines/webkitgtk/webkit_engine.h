#pragma once

#include <QStringList>
#include <vector>

#include "engines/webkitgtk/compat_engine.h"

namespace tarvo::ie {

class WebKitProfile;

// The compatibility engine on WebKitGTK: GTK started once on the browser's display
// (X11; GTK runs on the same GLib main loop as Qt), web content in WebKit's own
// processes inside their sandbox, one WebKit context per profile.
// Lifetime: made once by the module's entry and never destroyed (GTK cannot be
// shut down and started again within a process).
// Threads: GUI thread.
class WebKitEngine : public CompatEngine {
 public:
  // GTK on the display Qt uses; nullptr when GTK cannot open it (a display GTK does
  // not reach over X11).
  static WebKitEngine* Start();

  std::unique_ptr<CompatProfile> CreateProfile(const CompatProfileOptions& options) override;
  std::unique_ptr<WebBrowserControl> CreateControl(QWidget* parent, CompatProfile& profile,
                                                   WebBrowserControl* related) override;
  void SetDownloadListener(CompatDownloadListener* listener) override { downloads_ = listener; }
  void SetCertificateErrorPolicy(CertificateErrorPolicy policy) override { certificates_ = std::move(policy); }
  void SetLanguageSource(LanguageSource languages) override;
  bool IsSandboxed() const override;

  // For the profiles: what the browser set.
  CompatDownloadListener* DownloadListener() const { return downloads_; }
  bool AcceptsCertificateError(const QUrl& url) const { return certificates_ && certificates_(url); }
  // The languages now (empty when the browser gave no source).
  QStringList PreferredLanguages() const { return languages_ ? languages_() : QStringList(); }
  void Forget(WebKitProfile* profile);

 private:
  WebKitEngine() = default;

  CompatDownloadListener* downloads_ = nullptr;
  CertificateErrorPolicy certificates_;
  LanguageSource languages_;
  std::vector<WebKitProfile*> profiles_;  // live profiles, not owned
};

}  // namespace tarvo::ie
