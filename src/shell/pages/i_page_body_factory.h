#pragma once

#include "platform/text.h"
#include "ui/ui_defs.h"

namespace tarvo {

class CBodyBar;

// How the page list reaches the engines without knowing them: start-up installs one
// implementation (over CreateChromiumBrowser and CreateIeBody) with
// Pages::SetBodyFactory, so the shell's page library needs no engine headers.
//
// Threads: the main window's thread only.
class IPageBodyFactory {
 public:
  virtual ~IPageBodyFactory() = default;

  // Points both engines at the window and its body bar (non-owning); Detach before
  // either goes. Idempotent.
  virtual void Attach(DuiLib::HWND mainWindow, CBodyBar* bodyBar) = 0;
  virtual void Detach() = 0;

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
