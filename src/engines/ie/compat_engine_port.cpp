#include "engines/ie/compat_engine_port.h"

#include <QWidget>

#include "engines/ie/compat_download_handler.h"
#include "engines/webkitgtk/compat_engine_loader.h"
#include "ui/window_registry.h"

namespace tarvo {

CompatEnginePort::CompatEnginePort(ie::CompatEngineLoader& engine) : engine_(engine) {}

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

}  // namespace tarvo
