#pragma once

#include <memory>

#include "engines/ie/accelerator_translator.h"
#include "engines/ie/web_browser_events.h"
#include "shell/pages/i_tab_body.h"
#include "ui/ui_defs.h"
#include "ui/ui_interfaces.h"

namespace tarvo {

class CBodyBar;
class Pages;
namespace ie {
class CompatNetwork;
class WebBrowserControl;
}  // namespace ie

// The compatibility body of a page: a WebBrowserControl in the body bar whose six
// events are reported to the shell through the message bus, as the Chromium client
// does for Chromium pages. Its links, redirects and new windows stay in this engine.
//
// Threads: the main window's thread only. Lifetime: owned by its page; on destruction
// the main window drops its key translator, the control stops and its view goes.
using ie::CompatNetwork;
using ie::DispatchId;
using ie::KeyMessage;
using ie::WebBrowserControl;

class TabIeBody : public ITabBody,
                  public ie::WebBrowserEvents,
                  public ie::AcceleratorTranslator,
                  public DuiLib::ITranslateAccelerator {
 public:
  // Where compatibility bodies live and report. Start-up fills one for each main
  // window once it exists, keeps it (beside the window's page factory) and passes it
  // to CreateIeBody; every body keeps a copy, so the new windows a page opens go to
  // the same window. All four are non-owning and must outlive the bodies.
  struct Environment {
    CBodyBar* bodyBar = nullptr;
    DuiLib::HWND mainWindow = 0;
    CompatNetwork* network = nullptr;
    Pages* pages = nullptr;
  };

  // `environment.network` must be set; the view is made inside the body bar.
  TabIeBody(const Environment& environment, WString startUrl);
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
  void SetReady(bool ready) override { Show(ready); }
  // Every operation, while the view exists.
  bool Supports(PageOperation operation) const override;
  // The document paginated on A4 pages, backgrounds printed.
  void SaveAsPdf(const WString& path, Done done) override;
  void SaveSource(const WString& path, Done done) override;
  void Print(QPrinter* printer, Done done) override;
  void TakePicture(PictureDone done) override;
  // Runs the probe in the page at once (the engine answers synchronously).
  void AskTypedInto(std::function<void(bool typed)> answer) override;
  void SetOwner(Page* page) override { owner_ = page; }
  Page* GetOwner() const override { return owner_; }
  void Close() override { Stop(); }

  // Events of the control.
  void BeforeNavigate2(DispatchId dispatch, const WString& url, int flags, const WString& target_frame_name,
                       const std::string& post_data, const WString& headers, bool& cancel) override;
  void NavigateComplete2(DispatchId dispatch, const WString& url) override;
  void DocumentComplete(DispatchId dispatch, const WString& url) override;
  void NavigateError(DispatchId dispatch, const WString& url, const WString& target_frame_name, int status_code,
                     bool& cancel) override;
  void TitleChange(const WString& text) override;
  void NewWindow3(WebBrowserControl** new_browser, bool& cancel, int flags, const WString& url_context,
                  const WString& url) override;

  // F5 and F11 released inside the page become the main window's reload and full-screen
  // commands; every key still reaches the page.
  bool TranslateAccelerator(const KeyMessage& message) override;
  // The toolkit's translator entry: key messages are handled by the view's own
  // filter, so nothing is consumed here.
  DuiLib::LRESULT TranslateAccelerator(DuiLib::MSG* message) override;

  WebBrowserControl* Control() const { return control_.get(); }
  const WString& StartUrl() const { return startUrl_; }

 private:
  void PostLoading(bool loading);
  void SetZoom(double level);

  const Environment environment_;
  std::unique_ptr<WebBrowserControl> control_;
  WString startUrl_;
  Page* owner_ = nullptr;  // not owned: the page owns this body
  double zoomLevel_ = 0.0;
};

// Makes a compatibility body for `url` in the environment's body bar, its page (added
// to the environment's page list at once) and starts the navigation. Returns the body
// (owned by its page), or nullptr when the environment lacks the body bar, the
// network or the list. Main window's thread.
TabIeBody* CreateIeBody(const TabIeBody::Environment& environment, const WString& url);
// Makes a compatibility body for a page that has none (a restored tab selected, one
// let go while it slept); the page takes it and loads its current address. False
// when the environment lacks a part.
bool CreateIeBodyFor(const TabIeBody::Environment& environment, Page& page);

}  // namespace tarvo
