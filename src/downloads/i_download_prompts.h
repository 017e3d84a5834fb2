#pragma once

#include "downloads/download_record.h"
#include "platform/text.h"

namespace tarvo {

// The questions a starting download asks the user. The windows side implements them
// (message boxes, the save dialog); tests answer them directly.
// Threads: called on the engine's UI thread (the GUI thread) while a download waits
// to start.
class IDownloadPrompts {
 public:
  virtual ~IDownloadPrompts() = default;
  // The URL was downloaded before and that file is complete: true replaces the
  // finished entry ("download/file_exists_cover", OK and Cancel).
  virtual bool ConfirmReplace(const DownloadRecord& finished) = 0;
  // The URL is being downloaded already ("download/file_downloading", OK only).
  virtual void TellAlreadyDownloading(const DownloadRecord& running) = 0;
  // The save dialog, starting at `suggestedName`: the chosen path, or empty when the
  // user cancelled. Overwriting an existing file is confirmed there.
  virtual WString ChooseTarget(const WString& suggestedName) = 0;
};

}  // namespace tarvo
