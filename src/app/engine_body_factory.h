#pragma once
// Opens one main window's pages in the real engines: a Chromium browser inside the
// window's body bar (its page arrives through the bus) or a compatibility body whose
// page joins at once. It tells both engines where the window's pages live.
//
// Threads: GUI thread. Lifetime: made by start-up and owned by the main window it
// serves; the compatibility bodies (owned by their pages) must be gone before the
// compatibility network, which closing the window ensures.
#include <memory>

#include "engines/ie/tab_ie_body.h"
#include "shell/pages/i_page_body_factory.h"
#include "shell/pages/page_host.h"

namespace tarvo {

class EngineBodyFactory : public IPageBodyFactory {
 public:
  // `network`: the compatibility engine's network, shared by every window (not
  // owned; it outlives the factory).
  explicit EngineBodyFactory(ie::CompatNetwork& network) : network_(network) {}
  ~EngineBodyFactory() override;
  EngineBodyFactory(const EngineBodyFactory&) = delete;
  EngineBodyFactory& operator=(const EngineBodyFactory&) = delete;

  void Attach(const PageHost& host) override;
  void Detach() override;
  void OpenChromiumPage(const WString& url) override;
  bool OpenIePage(const WString& url) override;
  bool MakeBodyFor(Page& page) override;
  // The engine itself is shut down by the application once the event loop has
  // ended (cookies and storage flushed in order), so nothing is stopped here.
  void ShutdownEngines() override {}

 private:
  ie::CompatNetwork& network_;
  PageHost host_;
  TabIeBody::Environment ieEnvironment_;
};

}  // namespace tarvo
