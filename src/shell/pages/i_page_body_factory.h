#pragma once

#include "platform/text.h"

namespace tarvo {

class Page;
struct PageHost;

// How a window's page list reaches the engines without knowing them: start-up makes
// one implementation per main window (over CreateChromiumBrowser and CreateIeBody)
// and the window installs it with Pages::SetBodyFactory, so the shell's page library
// needs no engine headers.
//
// Threads: the main window's thread only.
class IPageBodyFactory {
 public:
  virtual ~IPageBodyFactory() = default;

  // Points the engines at the window's host (non-owning; Detach before any part of
  // it goes). Idempotent.
  virtual void Attach(const PageHost& host) = 0;
  virtual void Detach() = 0;

  // Asks the Chromium engine for a browser on `url` inside the body bar. The page
  // arrives later through "mainwnd/pages/addpage".
  virtual void OpenChromiumPage(const WString& url) = 0;
  // Makes a compatibility body for `url`; it adds its page (Pages::CreateIePage) at
  // once. Returns false when no body could be made.
  virtual bool OpenIePage(const WString& url) = 0;
  // Makes a body of the page's engine for a page that has none (a restored tab, or
  // one let go while it slept) at once; the page takes it and loads its current
  // address. False when no body could be made (the page stays without one).
  virtual bool MakeBodyFor(Page& page) = 0;
  // Stops the Chromium engine (the last page is gone).
  virtual void ShutdownEngines() = 0;
  // Whether the pages open off the record: nothing of them is kept after their
  // window, and they see nothing of the ordinary windows' cookies.
  virtual bool IsPrivate() const { return false; }
};

}  // namespace tarvo
