#pragma once

#include <cstdint>
#include <string>

#include "platform/text.h"

namespace tarvo {

// GETs `url` into `filePath` with a download client (kind 2) made for this call.
// Returns 0 on success, -1 on any failure (no partial file is left). Blocking; any
// thread.
int HttpDownloadFile(const WString& url, const WString& filePath);

// Called on the download's own thread after a successful download, with the file's
// UTF-8 path and the caller's context value.
using HttpDownloadDone = void (*)(const std::string& filePath, uint64_t context);

// Starts HttpDownloadFile on a new detached thread and returns 0 at once (-1 when no
// thread can be started). On success `done` (may be null) is called on that thread;
// a failure is not reported. Everything the thread needs is copied, so the arguments
// need not outlive the call.
int HttpDownloadFileAsync(const WString& url, const WString& filePath, HttpDownloadDone done, uint64_t context);

}  // namespace tarvo
