#pragma once

#include "platform/text.h"

namespace tarvo {

// How the page list reaches the engines without knowing them: start-up installs one
// implementation (over CreateChromiumBrowser and CreateIeBody) with
// Pages::SetBodyFactory, so the shell's page library needs no engine headers.
//
// Threads: the main window's thread only.
class IPageBodyFactory {
 public:
  virtual ~IPageBodyFactory() = default;

  // Asks the Chromium engine for a browser on `url` inside the body bar. The page
  // arrives later through "mainwnd/pages/addpage".
  virtual void OpenChromiumPage(const WString& url) = 0;
  // Makes a compatibility body for `url`; it adds its page (Pages::CreateIePage) at
  // once. Returns false when no body could be made.
  virtual bool OpenIePage(const WString& url) = 0;
  // Stops the Chromium engine (the last page is gone).
  virtual void ShutdownEngines() = 0;
};

}  // namespace tarvo
