#pragma once

#include <QObject>

#include "net/icon_fetch_queue.h"
#include "platform/text.h"

namespace tarvo {

class Page;
class Pages;

// One window's tab icons: fetched into the icon folder ("appdata/picture", one file
// per address, named by GetIconCacheName) through the window's IconFetchQueue, the
// way the page's engine goes (a Chromium page's through the VPN's node while it is
// on, a compatibility page's the system's way), and shown on every page of the
// window whose icon address it still is once its file is there. However often a
// page changes its icon address, only its latest one is fetched.
//
// Threads: the main window's thread; fetches run on the queue's worker, and the
// news of a fetched icon comes back through the Qt event loop, where it is dropped
// once the window (this object) is gone. Lifetime: owned by the window's Pages.
class IconDownloader {
 public:
  // `route`: how the icons are fetched; none: the system's way.
  IconDownloader(const Pages& pages, IconFetchQueue::RouteFor route);

  // `page` wants `iconUrl` (replacing what it wanted before; empty: nothing).
  void Request(const Page& page, const WString& iconUrl);
  void Forget(const Page& page) { queue_.Forget(&page); }

 private:
  void Deliver(const WString& iconUrl);

  const Pages& pages_;
  QObject alive_;  // answers for a window that is gone are dropped with it
  IconFetchQueue queue_;  // after alive_: stopped and joined before it goes
};

}  // namespace tarvo
