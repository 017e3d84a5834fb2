#include "shell/pages/icon_downloader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMetaObject>
#include <algorithm>
#include <thread>

#include "net/picture_cache.h"
#include "shell/pages/i_notify_icon.h"

namespace tarvo {

IconDownloader& IconDownloader::Instance() {
  static IconDownloader* downloader = new IconDownloader();
  return *downloader;
}

void IconDownloader::Register(INotifyIcon* listener) {
  if (!IsRegistered(listener)) listeners_.push_back(listener);
}

void IconDownloader::Unregister(INotifyIcon* listener) { std::erase(listeners_, listener); }

bool IconDownloader::IsRegistered(const INotifyIcon* listener) const {
  return std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end();
}

bool IconDownloader::Request(const WString& iconUrl) {
  if (iconUrl.empty() || QCoreApplication::instance() == nullptr) return false;
  try {
    std::thread([iconUrl] {
      const bool cached = PictureCache::FetchPicture(iconUrl);
      if (!cached) return;
      const WString file = PictureCache::CachePath(iconUrl);
      auto* app = QCoreApplication::instance();
      if (app == nullptr) return;
      QMetaObject::invokeMethod(app, [iconUrl, file] { IconDownloader::Instance().Deliver(iconUrl, file); },
                                Qt::QueuedConnection);
    }).detach();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void IconDownloader::Deliver(const WString& iconUrl, const WString& file) {
  // A listener may unregister while it is told, so walk a copy and skip the gone.
  const auto listeners = listeners_;
  for (auto* listener : listeners) {
    if (IsRegistered(listener)) listener->OnIconReady(iconUrl, file);
  }
}

}  // namespace tarvo
