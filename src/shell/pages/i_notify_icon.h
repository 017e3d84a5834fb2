#pragma once

#include "platform/text.h"

namespace tarvo {

// Hears the icon downloader when an icon file is ready.
// Threads: called on the main window's thread.
class INotifyIcon {
 public:
  virtual ~INotifyIcon() = default;
  // `iconUrl` was downloaded into `file`.
  virtual void OnIconReady(const WString& iconUrl, const WString& file) = 0;
};

}  // namespace tarvo
