#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "account/account_state.h"
#include "account/vpn_route.h"
#include "bus/bus_poller.h"
#include "session/crash_reload_policy.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/i_page_body_factory.h"
#include "shell/pages/i_tab_body.h"
#include "shell/pages/pages.h"
#include "shell/pages/tab_strip.h"
#include "support/temp_dir.h"
#include "ui/ui_test_support.h"

namespace tarvo::test {

// A body that records what the page asks of it; its window is a plain widget made on
// demand (MakeWindow), so a body can also stand for one whose engine window is late.
class RecordingBody : public ITabBody {
 public:
  QWidget* GetWindow() override { return window_.get(); }
  int Navigate(const WString& url, const WString&, const WString&) override;
  int Reload() override;
  int Stop() override { return 0; }
  void ZoomIn() override {}
  void ZoomOut() override {}
  void FindNext(const WString&) override {}
  void FindPrevious(const WString&) override {}
  void Show(bool visible) override;
  void SetReady(bool ready) override;
  bool Supports(PageOperation) const override { return true; }
  void SaveAsPdf(const WString&, Done done) override { Finish(done); }
  void SaveSource(const WString&, Done done) override { Finish(done); }
  void Print(QPrinter*, Done done) override { Finish(done); }
  void TakePicture(PictureDone done) override;
  void SetOwner(Page* page) override { owner_ = page; }
  Page* GetOwner() const override { return owner_; }
  void Close() override { ++closes; }

  // Makes the window (once), inside `parent` when one is given.
  QWidget* MakeWindow(QWidget* parent = nullptr);

  std::vector<WString> loads;
  int reloads = 0;
  int closes = 0;
  bool ready = false;

 private:
  static void Finish(const Done& done) {
    if (done) done(true);
  }

  std::unique_ptr<QWidget> window_;
  Page* owner_ = nullptr;
};

// Opens pages the way the engines do: a Chromium page arrives through
// "mainwnd/pages/addpage", a compatibility page joins at once.
class RecordingFactory : public IPageBodyFactory {
 public:
  // `pages`: the list its pages join (not owned).
  explicit RecordingFactory(Pages& pages) : pages_(pages) {}
  void OpenChromiumPage(const WString& url) override;
  bool OpenIePage(const WString& url) override;
  // A recording body with a window, taken by the page.
  bool MakeBodyFor(Page& page) override;
  void Attach(const PageHost&) override {}
  void Detach() override {}
  void ShutdownEngines() override { ++shutdowns; }

  std::vector<WString> chromiumUrls;
  std::vector<WString> ieUrls;
  int shutdowns = 0;

 private:
  Pages& pages_;
};

// A window with a tab strip, a toolbar and a body bar from the test skin, wired to
// its page list; drains the page channels of the bus like the main windows do.
class PagesHost {
 public:
  explicit PagesHost(UserDatabase& database);
  ~PagesHost();

  // Opens a Chromium page on `url` and delivers it through the bus.
  Page* OpenPage(const WString& url);
  void Drain();

  TestWindow window;
  std::unique_ptr<TabStrip> strip;
  CrashReloadPolicy crashReloads;
  // The VPN state the page icons' route follows.
  AccountState account;
  Pages pages;
  CBodyBar* bodyBar = nullptr;
  RecordingFactory factory{pages};
  BusPoller poller;
};

}  // namespace tarvo::test
