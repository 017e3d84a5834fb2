#pragma once

#include <functional>

#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_types.h"
#include "engines/cef/chromium_login_forms.h"
#include "shell/pages/i_tab_body.h"
#include "shell/pages/zoom_level.h"

namespace tarvo {

// The Chromium body of a page: one engine browser behind the ITabBody operations.
// Made ready by the Chromium client when the engine announces the browser; after
// SetReady(false) it refuses to navigate or reload until made ready again.
//
// Threads: the main window's thread (the engine's UI thread here). Lifetime: owned
// by its page; Close drops the browser, whose window the client then removes.
class TabCefBody : public ITabBody {
 public:
  // Zoom levels are logarithmic (0 = 100 %); steps and limits of the zoom commands.
  static constexpr double kZoomStep = ZoomLevel::kStep;
  static constexpr double kMaxZoomLevel = ZoomLevel::kMax;
  static constexpr double kMinZoomLevel = ZoomLevel::kMin;

  // `ready`: whether the body accepts navigations from the start (the client makes
  // bodies ready); the window's visibility is left to the body bar. `loginForms`
  // (non-owning, may be null: no log-in forms) hears the page's log-in forms.
  TabCefBody(cef::CefRefPtr<cef::CefBrowser> browser, bool ready, LoginFormEvents* loginForms);
  ~TabCefBody() override;

  QWidget* GetWindow() override;
  int Navigate(const WString& url, const WString& extra1, const WString& extra2) override;
  int Reload() override;
  int Stop() override;
  void ZoomIn() override;
  void ZoomOut() override;
  double CurrentZoomLevel() const override;
  void SetZoomLevel(double level) override;
  void FindNext(const WString& text) override;
  void FindPrevious(const WString& text) override;
  void Show(bool visible) override;
  void SetReady(bool ready) override;
  // Every operation, while the browser and its view exist.
  bool Supports(PageOperation operation) const override;
  // One long PDF page (330 mm by 2 m, no margins, backgrounds printed).
  void SaveAsPdf(const WString& path, Done done) override;
  void SaveSource(const WString& path, Done done) override;
  void Print(QPrinter* printer, Done done) override;
  void TakePicture(PictureDone done) override;
  // Sound within the last seconds, as the engine tells it.
  bool IsAudible() const override;
  // Asks the page's script world of the browser's own, where the page's scripts
  // cannot change the answer; a page without its engine page answers true.
  void AskTypedInto(std::function<void(bool typed)> answer) override;
  // The engine page's life-cycle state; frozen or discarded only while hidden.
  bool SetRest(BodyRest rest) override;
  BodyRest Rest() const override;
  // The page's log-in forms; nullptr off the record.
  ILoginForms* LoginForms() override { return loginForms_.get(); }
  void SetOwner(Page* page) override { owner_ = page; }
  Page* GetOwner() const override { return owner_; }
  // Stops, hides and closes the browser (the client's DoClose follows), then lets
  // the browser go. Idempotent.
  void Close() override;

  bool IsShown() const { return shown_; }
  bool IsReady() const { return ready_; }
  // Moves the window to the rectangle (right and bottom exclusive).
  void SetRect(int left, int top, int right, int bottom);
  cef::CefRefPtr<cef::CefBrowser> GetBrowser() const { return browser_; }

  // The zoom level one step in or out from `level`, within the limits.
  static double ZoomInLevel(double level);
  static double ZoomOutLevel(double level);

 private:
  cef::CefRefPtr<cef::CefBrowserHost> Host() const;

  cef::CefRefPtr<cef::CefBrowser> browser_;
  bool shown_ = false;
  bool ready_ = false;
  Page* owner_ = nullptr;  // not owned: the page owns this body
  std::unique_ptr<ChromiumLoginForms> loginForms_;
};

}  // namespace tarvo
