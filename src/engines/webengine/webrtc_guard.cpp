#include "engines/webengine/webrtc_guard.h"

#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "engines/webengine/engine_udp_gate.h"
#include "engines/webengine/webrtc_guard_script.h"

namespace tarvo::cef {

namespace {
const QString kScriptName = QStringLiteral("tarvo-webrtc-guard");
}  // namespace

void WebRtcGuard::SetGuarded(bool guarded) {
  if (guarded == guarded_) return;
  guarded_ = guarded;
  EngineUdpGate::SetClosed(guarded);
  std::erase_if(profiles_, [](const QPointer<QWebEngineProfile>& profile) { return profile.isNull(); });
  for (const auto& profile : profiles_) Apply(profile);
}

void WebRtcGuard::AddProfile(QWebEngineProfile* profile) {
  if (profile == nullptr) return;
  profiles_.emplace_back(profile);
  Apply(profile);
}

void WebRtcGuard::Apply(QWebEngineProfile* profile) const {
  QWebEngineScriptCollection* scripts = profile->scripts();
  for (const QWebEngineScript& script : scripts->find(kScriptName)) scripts->remove(script);
  if (!guarded_) return;
  QWebEngineScript guard;
  guard.setName(kScriptName);
  guard.setSourceCode(QString::fromStdU16String(kWebRtcGuardScript));
  guard.setInjectionPoint(QWebEngineScript::DocumentCreation);
  // The page's own world: the constructors the page uses are the ones replaced.
  guard.setWorldId(QWebEngineScript::MainWorld);
  guard.setRunsOnSubFrames(true);
  scripts->insert(guard);
}

}  // namespace tarvo::cef
