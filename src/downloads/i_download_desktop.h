#pragma once

#include "platform/text.h"

namespace tarvo {

// The desktop's handling of a downloaded file, installed by the windows side.
// Threads: the GUI thread.
class IDownloadDesktop {
 public:
  // Shows the file selected in the desktop's file manager (or at least its folder).
  // False when nothing could be started.
  virtual bool ShowInFolder(const WString& path) = 0;
  // Opens the file with the desktop's default application. False when nothing could
  // be started.
  virtual bool Open(const WString& path) = 0;

 protected:
  ~IDownloadDesktop() = default;
};

}  // namespace tarvo
