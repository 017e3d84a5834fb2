#include "app/engine_data_cleaner.h"

#include <QEventLoop>
#include <QTimer>
#include <memory>

#include "engines/webengine/cef_cookie_manager.h"
#include "engines/webengine/cef_request_context.h"
#include "engines/webkitgtk/lazy_compat_profile.h"
#include "platform/debug_output.h"

namespace tarvo {

namespace {
// The engine clears in its own processes; a stuck one must not hang the browser.
constexpr int kCompatClearingLimitMs = 10000;
}  // namespace

void EngineDataCleaner::ClearCookies() {
  if (auto cookies = cef::CefCookieManager::GetGlobalManager()) cookies->DeleteCookies({}, {});
  ClearCompat(ie::kCompatCookies | ie::kCompatSiteStorage);
}

void EngineDataCleaner::ClearCache() {
  cef::CefRequestContext::GetGlobalContext()->ClearHttpCache();
  ClearCompat(ie::kCompatCache);
}

void EngineDataCleaner::ClearVisitedLinks() { cef::CefRequestContext::GetGlobalContext()->ClearVisitedLinks(); }

void EngineDataCleaner::ClearCompat(unsigned kinds) {
  ie::CompatProfile* profile = compat_.IfMade();
  if (profile == nullptr && compat_.HasStoredData()) profile = compat_.Get();
  if (profile == nullptr) return;
  // Shared with the engine's answer, which may come after the wait gave up.
  struct Wait {
    QEventLoop loop;
    bool finished = false;
    bool ok = false;
  };
  auto wait = std::make_shared<Wait>();
  profile->Clear(kinds, [wait](bool ok) {
    wait->finished = true;
    wait->ok = ok;
    wait->loop.quit();
  });
  if (!wait->finished) {
    QTimer::singleShot(kCompatClearingLimitMs, &wait->loop, &QEventLoop::quit);
    wait->loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  if (!wait->finished || !wait->ok) DebugOutput("compatibility engine data not cleared: " + std::to_string(kinds));
}

}  // namespace tarvo
