#include "engines/ie/compat_engine_port.h"

#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <string>

#include "engines/ie/compat_download_handler.h"
#include "engines/webkitgtk/compat_engine_loader.h"
#include "engines/webkitgtk/lazy_compat_profile.h"
#include "platform/debug_output.h"
#include "ui/window_registry.h"

namespace tarvo {

namespace {
// The engine clears in its own processes; a stuck one must not hang the browser.
constexpr int kClearingLimitMs = 10000;
}  // namespace

CompatEnginePort::CompatEnginePort(ie::CompatEngineLoader& engine,
                                   std::function<ie::LazyCompatProfile*()> ordinaryProfile)
    : engine_(engine), ordinaryProfile_(std::move(ordinaryProfile)) {}

CompatEnginePort::~CompatEnginePort() {
  if (downloads_ != nullptr) engine_.SetDownloadListener(nullptr);
}

void CompatEnginePort::HandleDownloads(DownloadManager& downloads, IDownloadPrompts& prompts,
                                       DownloadStarted started) {
  // The download list may still hold the first handler's downloads: a later start in
  // the same process listens again with it.
  if (downloads_ == nullptr) {
    downloads_ = std::make_unique<CompatDownloadHandler>(
        downloads, prompts, [started = std::move(started)](QWidget* pageWindow, const WString& url, bool unrecorded) {
          const DuiLib::HWND mainWindow =
              pageWindow != nullptr ? DuiLib::CWindowRegistry::Instance().FindByWidget(pageWindow->window()) : 0;
          started(mainWindow, url, unrecorded);
        });
  }
  engine_.SetDownloadListener(downloads_.get());
}

void CompatEnginePort::ClearCookies() { Clear(ie::kCompatCookies | ie::kCompatSiteStorage); }

void CompatEnginePort::ClearCache() { Clear(ie::kCompatCache); }

void CompatEnginePort::Clear(unsigned kinds) {
  ie::LazyCompatProfile* lazy = ordinaryProfile_ ? ordinaryProfile_() : nullptr;
  if (lazy == nullptr) return;
  ie::CompatProfile* profile = lazy->IfMade();
  if (profile == nullptr && lazy->HasStoredData()) profile = lazy->Get();
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
    QTimer::singleShot(kClearingLimitMs, &wait->loop, &QEventLoop::quit);
    wait->loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  if (!wait->finished || !wait->ok) DebugOutput("compatibility engine data not cleared: " + std::to_string(kinds));
}

}  // namespace tarvo
