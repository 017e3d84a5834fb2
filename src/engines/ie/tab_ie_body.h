#pragma once

#include <QObject>
#include <memory>

#include "engines/webkitgtk/web_browser_control.h"
#include "engines/webkitgtk/web_browser_events.h"
#include "shell/pages/i_tab_body.h"
#include "shell/pages/page_key_commands.h"
#include "ui/ui_defs.h"
#include "ui/ui_interfaces.h"

namespace tarvo {

class CBodyBar;
class CompatLoginForms;
class LoginFormEvents;
class Pages;
namespace ie {
class LazyCompatProfile;
}

// The compatibility body of a page: a WebBrowserControl of the compatibility engine
// in the body bar, whose events are reported to the shell through the message bus,
// as the Chromium client does for Chromium pages. Its links, redirects and new
// windows stay in this engine. The browser's keys pressed inside the page reach the
// main window as commands; the page still gets every key.
//
// Threads: the main window's thread only. Lifetime: owned by its page; on destruction
// the main window drops its key translator, the control stops and its view goes.
using ie::DispatchId;
using ie::WebBrowserControl;

class TabIeBody : public ITabBody, public ie::WebBrowserEvents, public DuiLib::ITranslateAccelerator {
 public:
  // Where compatibility bodies live and report. Start-up fills one for each main
  // window once it exists, keeps it (beside the window's page factory) and passes it
  // to CreateIeBody; every body keeps a copy, so the new windows a page opens go to
  // the same window. All are non-owning and must outlive the bodies; without
  // `loginForms` the pages get no log-in form script.
  struct Environment {
    CBodyBar* bodyBar = nullptr;
    DuiLib::HWND mainWindow = 0;
    ie::LazyCompatProfile* profile = nullptr;
    Pages* pages = nullptr;
    LoginFormEvents* loginForms = nullptr;
  };

  // `control` (may be null when the engine could not make one: every operation then
  // does nothing and Supports answers false).
  TabIeBody(const Environment& environment, std::unique_ptr<WebBrowserControl> control, WString startUrl);
  // Also reports its log-in forms (a private profile's pages do not).
  ~TabIeBody() override;

  QWidget* GetWindow() override;
  int Navigate(const WString& url, const WString& extra1, const WString& extra2) override;
  int Reload() override;
  int Stop() override;
  void ZoomIn() override;
  void ZoomOut() override;
  double CurrentZoomLevel() const override { return zoomLevel_; }
  void SetZoomLevel(double level) override { SetZoom(level); }
  void FindNext(const WString& text) override;
  void FindPrevious(const WString& text) override;
  void Show(bool visible) override;
  void SetReady(bool ready) override;
  // Every operation, while the view exists.
  bool Supports(PageOperation operation) const override;
  // The document paginated on A4 pages, backgrounds printed.
  void SaveAsPdf(const WString& path, Done done) override;
  void SaveSource(const WString& path, Done done) override;
  void Print(QPrinter* printer, Done done) override;
  void TakePicture(PictureDone done) override;
  void AskTypedInto(std::function<void(bool typed)> answer) override;
  ILoginForms* LoginForms() override;
  void SetOwner(Page* page) override { owner_ = page; }
  Page* GetOwner() const override { return owner_; }
  void Close() override { Stop(); }

  // Events of the control.
  void BeforeNavigate2(DispatchId dispatch, const WString& url, int flags, const WString& target_frame_name,
                       const std::string& post_data, const WString& headers, bool& cancel) override;
  void NavigateComplete2(DispatchId dispatch, const WString& url) override;
  void DocumentComplete(DispatchId dispatch, const WString& url) override;
  void NavigationBecameDownload(DispatchId dispatch, const WString& url) override;
  void NavigateError(DispatchId dispatch, const WString& url, const WString& target_frame_name, int status_code,
                     bool& cancel) override;
  void TitleChange(const WString& text) override;
  void NewWindow3(WebBrowserControl** new_browser, bool& cancel, int flags, const WString& url_context,
                  const WString& url) override;
  // A key bound inside compatibility pages becomes the main window's command.
  void PageKey(const QKeyEvent& event) override;
  void ZoomWheel(int delta) override;
  void IconChange(const WString& url) override;
  void FullScreenRequest(bool enter) override;
  void PrintRequest() override;
  // Closes the tab once the engine has returned from the page's call.
  void CloseRequest() override;
  // The shell shows the crashed-page notice in the page's place.
  void ProcessGone() override;

  // The toolkit's translator entry: key messages are handled by the view itself, so
  // nothing is consumed here.
  DuiLib::LRESULT TranslateAccelerator(DuiLib::MSG* message) override;

  // Non-owning; nullptr when the engine could not make a view.
  WebBrowserControl* Control() const { return control_.get(); }
  const WString& StartUrl() const { return startUrl_; }

 private:
  void PostLoading(bool loading);
  void SetZoom(double level);

  const Environment environment_;
  std::unique_ptr<WebBrowserControl> control_;
  std::unique_ptr<CompatLoginForms> loginForms_;  // null for a private page; goes before control_
  WString startUrl_;
  Page* owner_ = nullptr;  // not owned: the page owns this body
  double zoomLevel_ = 0.0;
  PageKeyCommands keys_{KeyScope::kCompatPage};
  QObject lifetime_;  // what the body asks of the event loop ends with it
};

// Makes a compatibility body for `url` in the environment's body bar, its page (added
// to the environment's page list at once) and starts the navigation. `related` is the
// control whose page asked for this one as a new window (it loads the address
// itself). Returns the body (owned by its page), or nullptr when the environment lacks
// the body bar, the profile or the list, or the engine could not be loaded. Main
// window's thread.
TabIeBody* CreateIeBody(const TabIeBody::Environment& environment, const WString& url,
                        WebBrowserControl* related = nullptr);
// Makes a compatibility body for a page that has none (a restored tab selected, one
// let go while it slept); the page takes it and loads its current address. False
// when the environment lacks a part or the engine could not be loaded.
bool CreateIeBodyFor(const TabIeBody::Environment& environment, Page& page);

}  // namespace tarvo
