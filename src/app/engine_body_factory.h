#pragma once
// Opens one main window's pages in the real engines: a Chromium browser inside the
// window's body bar (its page arrives through the bus) or a compatibility body whose
// page joins at once. It tells both engines where the window's pages live. A private
// window's factory holds the window's own off-the-record engine context and
// memory-only compatibility network: what its pages leave goes with the window.
//
// Threads: GUI thread. Lifetime: made by start-up and owned by the main window it
// serves; the compatibility bodies (owned by their pages) must be gone before the
// compatibility network, which closing the window ensures.
#include <memory>

#include "engines/cef/cef_request_context.h"
#include "engines/ie/compat_network.h"
#include "engines/ie/tab_ie_body.h"
#include "shell/pages/i_page_body_factory.h"
#include "shell/pages/page_host.h"

namespace tarvo {

class EngineBodyFactory : public IPageBodyFactory {
 public:
  // `network`: the compatibility engine's network, shared by every window (not
  // owned; it outlives the factory).
  explicit EngineBodyFactory(ie::CompatNetwork& network) : network_(network) {}
  // A private window's factory: pages in a new off-the-record context and a network
  // of their own (the engine must be running).
  struct Private {};
  explicit EngineBodyFactory(Private);
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
  bool IsPrivate() const override { return privateNetwork_ != nullptr; }

 private:
  std::unique_ptr<ie::CompatNetwork> privateNetwork_;  // before network_, which may name it
  ie::CompatNetwork& network_;
  cef::CefRefPtr<cef::CefRequestContext> requestContext_;  // null: the global context
  PageHost host_;
  TabIeBody::Environment ieEnvironment_;
};

}  // namespace tarvo
