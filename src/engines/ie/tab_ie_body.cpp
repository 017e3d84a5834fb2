#include "engines/ie/tab_ie_body.h"

#include <QCursor>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include "engines/webkitgtk/compat_engine_loader.h"
#include "engines/ie/compat_login_forms.h"
#include "engines/webkitgtk/lazy_compat_profile.h"
#include "platform/text.h"
#include "shell/commands/main_window_messages.h"
#include "shell/commands/post_command.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/icon_address.h"
#include "shell/pages/page.h"
#include "shell/pages/page_channels.h"
#include "shell/pages/pages.h"
#include "shell/pages/pages_messages.h"
#include "shell/pages/typed_into_script.h"
#include "shell/pages/zoom_level.h"
#include "ui/window_registry.h"

namespace tarvo {

namespace {

template <class Channel, class Record>
void PostRecord(const Channel& channel, Record record) {
  channel.Post(std::make_unique<Record>(std::move(record)));
}

}  // namespace

TabIeBody::TabIeBody(const Environment& environment, std::unique_ptr<WebBrowserControl> control, WString startUrl)
    : environment_(environment), control_(std::move(control)), startUrl_(std::move(startUrl)) {
  if (control_ == nullptr) return;
  control_->SetEventSink(this);
  const bool privatePage = environment_.profile != nullptr && environment_.profile->IsPrivate();
  if (environment_.loginForms != nullptr) {
    loginForms_ = CompatLoginForms::Make(*control_, privatePage, *this, *environment_.loginForms);
  }
}

TabIeBody::~TabIeBody() {
  DuiLib::PostMessage(environment_.mainWindow, MainWindowMessages::kRemoveAccelerator,
                      reinterpret_cast<DuiLib::WPARAM>(static_cast<DuiLib::ITranslateAccelerator*>(this)));
  loginForms_.reset();
  if (control_ == nullptr) return;
  control_->SetEventSink(nullptr);
  control_->Stop();
  control_->Show(false);
  control_.reset();
}

ILoginForms* TabIeBody::LoginForms() { return loginForms_.get(); }

QWidget* TabIeBody::GetWindow() { return control_ != nullptr ? control_->Window() : nullptr; }

int TabIeBody::Navigate(const WString& url, const WString&, const WString&) {
  if (control_ != nullptr) control_->Navigate(url);
  return 0;
}

int TabIeBody::Reload() {
  if (control_ != nullptr) control_->Refresh();
  return 0;
}

int TabIeBody::Stop() {
  if (control_ != nullptr) control_->Stop();
  return 0;
}

void TabIeBody::Show(bool visible) {
  if (control_ != nullptr) control_->Show(visible);
}

void TabIeBody::SetReady(bool ready) {
  // Readiness never shows the view: the body bar shows the selected tab's, and a
  // background tab's view shown here would cover the selected page.
  if (!ready) Show(false);
}

void TabIeBody::SetZoom(double level) {
  zoomLevel_ = level;
  if (control_ != nullptr) control_->SetZoomFactor(ZoomLevel::Factor(level));
}

void TabIeBody::ZoomIn() { SetZoom(ZoomLevel::In(zoomLevel_)); }

void TabIeBody::ZoomOut() { SetZoom(ZoomLevel::Out(zoomLevel_)); }

void TabIeBody::FindNext(const WString& text) {
  if (control_ != nullptr && !text.empty()) control_->Find(text, false);
}

void TabIeBody::FindPrevious(const WString& text) {
  if (control_ != nullptr && !text.empty()) control_->Find(text, true);
}

bool TabIeBody::Supports(PageOperation) const { return control_ != nullptr && control_->Window() != nullptr; }

void TabIeBody::SaveAsPdf(const WString& path, Done done) {
  if (!Supports(PageOperation::kSaveAsPdf)) {
    if (done) done(false);
    return;
  }
  control_->SaveAsPdf(path, [done = std::move(done)](bool written) {
    if (done) done(written);
  });
}

void TabIeBody::SaveSource(const WString& path, Done done) {
  if (!Supports(PageOperation::kSaveSource)) {
    if (done) done(false);
    return;
  }
  control_->DocumentSource([path, done = std::move(done)](bool ok, const WString& source) {
    bool written = false;
    if (ok) {
      QFile file(QString::fromStdU16String(path));
      const std::string bytes = WideToUtf8(source);
      written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
                file.flush();
    }
    if (done) done(written);
  });
}

void TabIeBody::Print(QPrinter* printer, Done done) {
  if (!Supports(PageOperation::kPrint) || printer == nullptr) {
    if (done) done(false);
    return;
  }
  control_->Print(printer, [done = std::move(done)](bool printed) {
    if (done) done(printed);
  });
}

void TabIeBody::TakePicture(PictureDone done) {
  if (!Supports(PageOperation::kPicture)) {
    if (done) done(QImage());
    return;
  }
  control_->TakePicture([done = std::move(done)](const QImage& picture) {
    if (done) done(picture);
  });
}

void TabIeBody::AskTypedInto(std::function<void(bool typed)> answer) {
  if (control_ == nullptr) {
    answer(true);
    return;
  }
  control_->RunScript(TypedIntoScript::kProbe, [answer = std::move(answer)](bool ok, const WString& result) {
    answer(!ok || result == u"true");
  });
}

void TabIeBody::PostLoading(bool loading) {
  if (owner_ != nullptr) PostRecord(PageChannels::kIsLoading, PageFlagRecord{owner_, static_cast<uint8_t>(loading)});
}

void TabIeBody::BeforeNavigate2(DispatchId dispatch, const WString&, int, const WString& target_frame_name,
                                const std::string&, const WString&, bool&) {
  if (dispatch == control_->Dispatch() && target_frame_name.empty()) PostLoading(true);
}

void TabIeBody::NavigateComplete2(DispatchId dispatch, const WString& url) {
  if (dispatch == control_->Dispatch() && owner_ != nullptr) {
    PostRecord(PageChannels::kTempRedirect, PageRedirectRecord{owner_, url, 0});
  }
}

void TabIeBody::DocumentComplete(DispatchId dispatch, const WString&) {
  if (dispatch == control_->Dispatch()) PostLoading(false);
}

void TabIeBody::NavigationBecameDownload(DispatchId dispatch, const WString& url) {
  // The page takes back the step it took for the address: its bar shows the page again.
  if (dispatch == control_->Dispatch() && owner_ != nullptr) {
    PostRecord(PageChannels::kBecameDownload, PageTextRecord{owner_, url});
  }
}

void TabIeBody::NavigateError(DispatchId, const WString&, const WString&, int, bool& cancel) {
  cancel = true;  // no engine error page
  PostLoading(false);
}

void TabIeBody::TitleChange(const WString& text) {
  if (owner_ == nullptr || text.empty()) return;
  // While loading, the control reports the address as the title.
  const std::string utf8 = WideToUtf8(text);
  if (utf8.size() > 4 && utf8.compare(0, 4, "http") == 0) return;
  PostRecord(PageChannels::kSetTitle, PageTextRecord{owner_, text});
}

void TabIeBody::NewWindow3(WebBrowserControl** new_browser, bool&, int, const WString&, const WString&) {
  if (TabIeBody* body = CreateIeBody(environment_, WString(), control_.get())) *new_browser = body->Control();
}

void TabIeBody::PageKey(const QKeyEvent& event) {
  if (const unsigned command = keys_.OnKey(event)) PostCommand(environment_.mainWindow, command);
}

void TabIeBody::ZoomWheel(int delta) {
  const QPoint global = QCursor::pos();
  DuiLib::PostMessage(environment_.mainWindow, DuiLib::WM_MOUSEWHEEL,
                      DuiLib::MakeWParam(DuiLib::MK_CONTROL, static_cast<unsigned>(delta)),
                      DuiLib::MakeLParam(global.x(), global.y()));
}

void TabIeBody::IconChange(const WString& url) {
  if (owner_ != nullptr && IsIcoAddress(url)) PostRecord(PageChannels::kSetIconUrl, PageTextRecord{owner_, url});
}

void TabIeBody::FullScreenRequest(bool enter) {
  PostCommand(environment_.mainWindow, enter ? Commands::kEnterFullScreen : Commands::kLeaveFullScreen);
}

void TabIeBody::PrintRequest() { PostCommand(environment_.mainWindow, Commands::kPrint); }

void TabIeBody::ProcessGone() {
  if (owner_ != nullptr) PostRecord(PageChannels::kRendererGone, PageGoneRecord{owner_});
}

void TabIeBody::CloseRequest() {
  Pages* pages = environment_.pages;
  if (pages == nullptr || owner_ == nullptr) return;
  // The view is inside the engine's call now: the tab closes once that has returned,
  // unless this body went first.
  QTimer::singleShot(0, &lifetime_, [this, pages] {
    if (owner_ != nullptr) pages->ClosePage(owner_);
  });
}

DuiLib::LRESULT TabIeBody::TranslateAccelerator(DuiLib::MSG*) {
  // Keys typed inside the page never reach the toolkit's queue: the view hands them
  // to PageKey. Keys the toolkit sees belong to other windows and are not this body's.
  return DuiLib::S_FALSE;
}

namespace {

// A new body sized to the body bar, its window hidden until the bar shows it (a view
// made while another tab is selected, such as one the session restores behind it,
// must not cover that tab), or nullptr when the environment lacks a part or the
// engine could not make a view.
std::unique_ptr<TabIeBody> MakeIeBody(const TabIeBody::Environment& environment, const WString& url,
                                      WebBrowserControl* related) {
  if (environment.bodyBar == nullptr || environment.profile == nullptr || environment.pages == nullptr) return nullptr;
  ie::CompatProfile* profile = environment.profile->Get();
  ie::CompatEngine* engine = environment.profile->Loader().LoadedEngine();
  if (profile == nullptr || engine == nullptr) return nullptr;
  QWidget* bar = environment.bodyBar->GetWidget();
  std::unique_ptr<WebBrowserControl> control = engine->CreateControl(bar, *profile, related);
  if (control == nullptr || control->Window() == nullptr) return nullptr;
  control->Window()->setGeometry(bar->rect());
  auto body = std::make_unique<TabIeBody>(environment, std::move(control), url);
  body->Show(false);
  return body;
}

// Tells the body bar and the main window of a body that has its page.
void AnnounceIeBody(const TabIeBody::Environment& environment, TabIeBody* body) {
  DuiLib::PostMessage(environment.bodyBar->GetHWND(), PagesMessages::kAddIeBody,
                      reinterpret_cast<DuiLib::WPARAM>(body->GetWindow()),
                      reinterpret_cast<DuiLib::LPARAM>(static_cast<ITabBody*>(body)));
  DuiLib::PostMessage(environment.mainWindow, MainWindowMessages::kAddAccelerator,
                      reinterpret_cast<DuiLib::WPARAM>(static_cast<DuiLib::ITranslateAccelerator*>(body)));
}

}  // namespace

TabIeBody* CreateIeBody(const TabIeBody::Environment& environment, const WString& url, WebBrowserControl* related) {
  auto body = MakeIeBody(environment, url, related);
  if (body == nullptr) return nullptr;
  TabIeBody* raw = body.get();
  Page* page = environment.pages->CreateIePage(std::move(body));
  if (page == nullptr) return nullptr;
  if (!url.empty()) raw->Navigate(url, WString(), WString());
  PostRecord(PageChannels::kTempRedirect, PageRedirectRecord{page, url, 0});
  AnnounceIeBody(environment, raw);
  return raw;
}

bool CreateIeBodyFor(const TabIeBody::Environment& environment, Page& page) {
  auto body = MakeIeBody(environment, page.GetLoadedUrl(), nullptr);
  if (body == nullptr) return false;
  TabIeBody* raw = body.get();
  page.AdoptBody(std::move(body));
  AnnounceIeBody(environment, raw);
  return true;
}

}  // namespace tarvo
