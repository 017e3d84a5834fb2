#pragma once

#include <vector>

#include "platform/text.h"

namespace tarvo {

class INotifyIcon;

// Downloads tab icons into the icon folder ("appdata/picture", one file per address,
// named by GetIconCacheName) and tells every registered page when one is ready; each
// page keeps only the icon of its own current icon address.
//
// Threads: Register, Unregister and Request on the main window's thread; downloads
// run on worker threads, and readiness is delivered back on the main window's thread
// through the Qt event loop, where only pages still registered then hear it.
class IconDownloader {
 public:
  // The process's downloader, created on first use and never destroyed.
  static IconDownloader& Instance();

  void Register(INotifyIcon* listener);
  void Unregister(INotifyIcon* listener);
  bool IsRegistered(const INotifyIcon* listener) const;

  // Fetches the icon unless its file is already cached, then notifies the registered
  // listeners. Returns false when the address is empty or no worker could start.
  bool Request(const WString& iconUrl);

 private:
  IconDownloader() = default;
  void Deliver(const WString& iconUrl, const WString& file);

  std::vector<INotifyIcon*> listeners_;  // not owned; pages unregister on shutdown
};

}  // namespace tarvo
