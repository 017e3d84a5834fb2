#include "engines/webkitgtk/webkit_engine.h"

#include <QByteArray>
#include <algorithm>

#include "engines/webkitgtk/webkit_control.h"
#include "engines/webkitgtk/webkit_profile.h"
#include "engines/webkitgtk/gtk_headers.h"

namespace tarvo::ie {

namespace {
// WebKitGTK's own switch: set, its web processes run without their sandbox.
constexpr const char* kNoSandboxVariable = "WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS";
}  // namespace

WebKitEngine* WebKitEngine::Start() {
  // The views are X windows inside the browser's X windows.
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  // GTK ends the whole process over an X error it did not expect. Its windows here
  // live inside the browser's own, which Qt may destroy (with their sub-windows) at
  // moments GTK cannot know of; a request GTK then makes for a window that is gone
  // must not take the browser down. This trap stays open for the process.
  gdk_x11_display_error_trap_push(gdk_display_get_default());
  return new WebKitEngine();
}

std::unique_ptr<CompatProfile> WebKitEngine::CreateProfile(const CompatProfileOptions& options) {
  auto profile = std::make_unique<WebKitProfile>(*this, options);
  profiles_.push_back(profile.get());
  return profile;
}

std::unique_ptr<WebBrowserControl> WebKitEngine::CreateControl(QWidget* parent, CompatProfile& profile,
                                                                WebBrowserControl* related) {
  auto& webkitProfile = static_cast<WebKitProfile&>(profile);
  webkitProfile.ApplyLanguages();
  return std::make_unique<WebKitControl>(parent, webkitProfile, static_cast<WebKitControl*>(related));
}

void WebKitEngine::SetLanguageSource(LanguageSource languages) {
  languages_ = std::move(languages);
  for (WebKitProfile* profile : profiles_) profile->ApplyLanguages();
}

bool WebKitEngine::IsSandboxed() const { return qEnvironmentVariableIsEmpty(kNoSandboxVariable); }

void WebKitEngine::Forget(WebKitProfile* profile) { std::erase(profiles_, profile); }

}  // namespace tarvo::ie
