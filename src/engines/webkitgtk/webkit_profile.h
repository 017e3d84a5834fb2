#pragma once

#include <QString>

#include "engines/webkitgtk/compat_engine.h"

typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _WebKitUserScript WebKitUserScript;
typedef struct _WebKitSettings WebKitSettings;
typedef struct _WebKitDownload WebKitDownload;
typedef struct _GTlsCertificate GTlsCertificate;

namespace tarvo::ie {

class WebKitEngine;

// A WebKit context with its website-data manager: cookies, storage and cache in the
// profile's folders (made readable by the user only), or all in memory for a private
// profile. The context's web processes run in their sandbox. Its views share one set
// of settings and page scripts.
// Lifetime: made by the engine; its views hold references to the context, so it may
// go before them.
// Threads: GUI thread.
class WebKitProfile : public CompatProfile {
 public:
  WebKitProfile(WebKitEngine& engine, const CompatProfileOptions& options);
  ~WebKitProfile() override;
  WebKitProfile(const WebKitProfile&) = delete;
  WebKitProfile& operator=(const WebKitProfile&) = delete;

  bool IsPrivate() const override { return private_; }
  void Clear(unsigned kinds, std::function<void(bool ok)> done) override;

  WebKitWebContext* Context() const { return context_; }
  // A new set of page scripts for one view, with the scripts every page of the
  // profile runs (a new reference for the caller).
  WebKitUserContentManager* NewContentManager() const;
  WebKitSettings* Settings() const { return settings_; }
  // The browser's preferred languages, again (when they changed since the last time).
  void ApplyLanguages();
  // A view met a certificate error at `uri`: true when the browser accepts it, the
  // certificate then being allowed for that host in this profile.
  bool AcceptCertificate(const QString& uri, GTlsCertificate* certificate);

 private:
  static void OnDownloadStarted(WebKitWebContext* context, WebKitDownload* download, WebKitProfile* profile);

  WebKitEngine& engine_;
  const bool private_;
  WebKitWebContext* context_ = nullptr;         // owned reference
  WebKitSettings* settings_ = nullptr;           // owned reference
  WebKitUserScript* typedInto_ = nullptr;        // owned reference: every page's watch for typing
  QStringList languages_;                        // the languages the context was last given
};

}  // namespace tarvo::ie
