#pragma once
// Opens pages in the real engines for the page list: a Chromium browser inside the
// body bar (its page arrives through the bus) or a compatibility body whose page joins
// at once. It also owns the compatibility engine's network, which every compatibility
// view shares, and installs the windows the engines report to.
//
// Threads: GUI thread. Lifetime: made by start-up and owned by the main window it
// serves; the compatibility bodies
// (owned by their pages) must be gone before it, which closing the window ensures.
#include <QString>
#include <memory>

#include "engines/ie/tab_ie_body.h"
#include "shell/pages/i_page_body_factory.h"
#include "ui/ui_defs.h"

namespace tarvo {

class CBodyBar;

class EngineBodyFactory : public IPageBodyFactory {
 public:
  // `cookieFolder`: where the compatibility engine keeps its cookie jar.
  explicit EngineBodyFactory(const QString& cookieFolder);
  ~EngineBodyFactory() override;
  EngineBodyFactory(const EngineBodyFactory&) = delete;
  EngineBodyFactory& operator=(const EngineBodyFactory&) = delete;

  void Attach(DuiLib::HWND mainWindow, CBodyBar* bodyBar) override;
  void Detach() override;

  void OpenChromiumPage(const WString& url) override;
  bool OpenIePage(const WString& url) override;
  // The engine itself is shut down by the application once the event loop has
  // ended (cookies and storage flushed in order), so nothing is stopped here.
  void ShutdownEngines() override {}

 private:
  std::unique_ptr<ie::CompatNetwork> network_;
  CBodyBar* bodyBar_ = nullptr;  // not owned
  TabIeBody::Environment ieEnvironment_;
};

}  // namespace tarvo
