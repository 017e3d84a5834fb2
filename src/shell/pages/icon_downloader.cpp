#include "shell/pages/icon_downloader.h"

#include <QMetaObject>

#include "net/picture_cache.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"

namespace tarvo {

IconDownloader::IconDownloader(const Pages& pages, IconFetchQueue::RouteFor route)
    : pages_(pages),
      queue_(route ? std::move(route) : [](WStringView) { return RequestRoute(); }, [this](const WString& iconUrl) {
        QMetaObject::invokeMethod(&alive_, [this, iconUrl] { Deliver(iconUrl); }, Qt::QueuedConnection);
      }) {}

void IconDownloader::Request(const Page& page, const WString& iconUrl) {
  queue_.Want(&page, iconUrl, page.GetEngineType() == Page::kEngineChromium);
}

void IconDownloader::Deliver(const WString& iconUrl) {
  const WString file = PictureCache::CachePath(iconUrl);
  for (int i = 0; i < pages_.Count(); ++i) {
    Page* page = pages_.PageAt(i);
    if (page->GetIconUrl() == iconUrl) page->OnIconReady(iconUrl, file);
  }
}

}  // namespace tarvo
