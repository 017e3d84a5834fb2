#pragma once
// Opens one main window's pages in the real engines: a Chromium browser inside the
// window's body bar (its page arrives through the bus) or a compatibility body whose
// page joins at once. It tells both engines where the window's pages live. A private
// window's factory holds the window's own off-the-record engine context and
// compatibility profile that keeps nothing: what its pages leave goes with the window.
//
// Threads: GUI thread. Lifetime: made by start-up and owned by the main window it
// serves; the compatibility bodies (owned by their pages) must be gone before the
// compatibility profile, which closing the window ensures.
#include <memory>

#include "engines/webengine/cef_request_context.h"
#include "engines/webkitgtk/lazy_compat_profile.h"
#include "engines/ie/tab_ie_body.h"
#include "shell/pages/i_page_body_factory.h"
#include "shell/pages/page_host.h"

namespace tarvo {

class EngineBodyFactory : public IPageBodyFactory {
 public:
  // `profile`: the compatibility profile the ordinary windows share; `loginForms`:
  // where their compatibility pages report log-in forms (neither owned; both outlive
  // the factory).
  EngineBodyFactory(ie::LazyCompatProfile& profile, LoginFormEvents& loginForms)
      : compatProfile_(profile), loginForms_(&loginForms) {}
  // A private window's factory: pages in a new off-the-record context and a
  // compatibility profile of their own (the Chromium engine must be running; the
  // compatibility engine loads when the window opens its first such page).
  struct Private {
    ie::CompatEngineLoader& compatEngine;
  };
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
  bool IsPrivate() const override { return privateProfile_ != nullptr; }

 private:
  void TellIfCompatEngineFailed() const;

  std::unique_ptr<ie::LazyCompatProfile> privateProfile_;  // before compatProfile_, which may name it
  ie::LazyCompatProfile& compatProfile_;
  LoginFormEvents* loginForms_ = nullptr;  // not owned; null for a private window
  cef::CefRefPtr<cef::CefRequestContext> requestContext_;  // null: the global context
  PageHost host_;
  TabIeBody::Environment ieEnvironment_;
};

}  // namespace tarvo
