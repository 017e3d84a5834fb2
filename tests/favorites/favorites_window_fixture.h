#pragma once
// A main window from the built skin package with the favourites feature registered,
// its pages opened by recording bodies (no engine), the user database and language
// packs in a temporary root: what the favourites' window tests drive.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "favorites/favorites_store.h"
#include "favorites/windows/favorites_worker.h"
#include "favorites/windows/favorite_bar_button_ui.h"
#include "favorites/windows/favorite_bar_ui.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/main_dui_wnd.h"
#include "shell/pages/pages_host.h"
#include "ui/ui_test_support.h"

namespace tarvo::test {

// Opens the window's pages with recording bodies once the window's list exists.
class LateRecordingFactory : public IPageBodyFactory {
 public:
  void Bind(Pages& pages) { target_ = std::make_unique<RecordingFactory>(pages); }
  RecordingFactory& Target() { return *target_; }
  void Attach(const PageHost&) override {}
  void Detach() override {}
  void OpenChromiumPage(const WString& url) override { target_->OpenChromiumPage(url); }
  bool OpenIePage(const WString& url) override { return target_->OpenIePage(url); }
  bool MakeBodyFor(Page& page) override { return target_->MakeBodyFor(page); }
  void ShutdownEngines() override {}

 private:
  std::unique_ptr<RecordingFactory> target_;
};

class FavoritesWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // The store the windows show, one for the suite: the favourites worker may still
  // hold it after a test.
  static FavoritesStore& Store();
  static FavoritesWorker& Worker();
  // Replaces the stored anonymous document and waits for the bar to show it.
  void SetDocument(const Json::Value& items);
  // Waits for the favourites worker and the queued rebuilds.
  static void Settle();
  FavoriteBarUI* Bar() const;
  std::vector<FavoriteBarButtonUI*> Buttons() const;
  FavoriteBarButtonUI* ButtonNamed(const std::string& name) const;
  // The current page: its address as the engine reported it, and what it loaded.
  Page* CurrentPage() const { return window_->PageList().Current(); }
  RecordingBody* CurrentBody() const;
  void ShowAddress(const WString& url, const WString& title);
  // Clicks (left or right) the middle of a control of the main window.
  void Click(DuiLib::CControlUI* control, Qt::MouseButton button = Qt::LeftButton);

  std::unique_ptr<ScopedSkin> skin_;
  std::unique_ptr<BrowserWindows> windows_;
  LateRecordingFactory* factory_ = nullptr;  // owned by the window
  std::unique_ptr<MainDuiWnd> window_;
};

}  // namespace tarvo::test
