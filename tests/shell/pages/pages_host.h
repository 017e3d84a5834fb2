#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "shell/pages/c_body_bar.h"
#include "shell/pages/i_page_body_factory.h"
#include "shell/pages/i_tab_body.h"
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
  std::unique_ptr<QWidget> window_;
  Page* owner_ = nullptr;
};

// Opens pages the way the engines do: a Chromium page arrives through
// "mainwnd/pages/addpage", a compatibility page joins at once.
class RecordingFactory : public IPageBodyFactory {
 public:
  void OpenChromiumPage(const WString& url) override;
  bool OpenIePage(const WString& url) override;
  void Attach(DuiLib::HWND, CBodyBar*) override {}
  void Detach() override {}
  void ShutdownEngines() override { ++shutdowns; }

  std::vector<WString> chromiumUrls;
  std::vector<WString> ieUrls;
  int shutdowns = 0;
};

// A window with a tab strip, a toolbar and a body bar from the test skin, wired to
// the page list; drains the page channels of the bus like the main window does.
class PagesHost {
 public:
  PagesHost();
  ~PagesHost();

  // Opens a Chromium page on `url` and delivers it through the bus.
  Page* OpenPage(const WString& url);
  void Drain();

  TestWindow window;
  std::unique_ptr<TabStrip> strip;
  CBodyBar* bodyBar = nullptr;
  RecordingFactory factory;
};

}  // namespace tarvo::test
