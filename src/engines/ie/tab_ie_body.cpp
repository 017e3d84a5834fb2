#include "engines/ie/tab_ie_body.h"

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QWebFrame>
#include <QWebPage>
#include <QWidget>

#include "engines/ie/web_browser_control.h"
#include "platform/text.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/page.h"
#include "shell/pages/page_channels.h"
#include "shell/pages/pages.h"
#include "shell/pages/pages_messages.h"
#include "shell/pages/typed_into_script.h"
#include "shell/pages/zoom_level.h"
#include "ui/window_registry.h"
#include "shell/commands/main_window_messages.h"
#include "shell/commands/command_table.h"
#include "shell/commands/post_command.h"

namespace tarvo {

namespace {

template <class Channel, class Record>
void PostRecord(const Channel& channel, Record record) {
  channel.Post(std::make_unique<Record>(std::move(record)));
}

}  // namespace

TabIeBody::TabIeBody(const Environment& environment, WString startUrl)
    : environment_(environment),
      control_(std::make_unique<WebBrowserControl>(
          environment.bodyBar != nullptr ? environment.bodyBar->GetWidget() : nullptr, *environment.network)),
      startUrl_(std::move(startUrl)) {
  control_->SetEventSink(this);
  control_->SetAcceleratorTranslator(this);
}

TabIeBody::~TabIeBody() {
  DuiLib::PostMessage(environment_.mainWindow, MainWindowMessages::kRemoveAccelerator,
                      reinterpret_cast<DuiLib::WPARAM>(static_cast<DuiLib::ITranslateAccelerator*>(this)));
  control_->SetEventSink(nullptr);
  control_->SetAcceleratorTranslator(nullptr);
  control_->Stop();
  control_->Show(false);
  control_.reset();
}

QWidget* TabIeBody::GetWindow() { return control_->Window(); }

int TabIeBody::Navigate(const WString& url, const WString&, const WString&) {
  control_->Navigate(url);
  return 0;
}

int TabIeBody::Reload() {
  control_->Refresh();
  return 0;
}

int TabIeBody::Stop() {
  control_->Stop();
  return 0;
}

void TabIeBody::Show(bool visible) { control_->Show(visible); }

void TabIeBody::SetZoom(double level) {
  zoomLevel_ = level;
  control_->SetZoomFactor(ZoomLevel::Factor(level));
}

void TabIeBody::ZoomIn() { SetZoom(ZoomLevel::In(zoomLevel_)); }

void TabIeBody::ZoomOut() { SetZoom(ZoomLevel::Out(zoomLevel_)); }

void TabIeBody::FindNext(const WString& text) { control_->Find(text, false); }

void TabIeBody::FindPrevious(const WString& text) { control_->Find(text, true); }

bool TabIeBody::Supports(PageOperation) const { return control_->Window() != nullptr; }

void TabIeBody::SaveAsPdf(const WString& path, Done done) {
  bool written = false;
  if (Supports(PageOperation::kSaveAsPdf)) {
    const QString file = QString::fromStdU16String(path);
    {
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(file);
      printer.setPageSize(QPageSize(QPageSize::A4));
      printer.setFullPage(true);
      // The printer writes and closes the file when it goes out of scope.
      control_->Print(&printer);
    }
    written = QFile(file).size() > 0;
  }
  if (done) done(written);
}

void TabIeBody::SaveSource(const WString& path, Done done) {
  bool written = false;
  if (Supports(PageOperation::kSaveSource)) {
    QFile file(QString::fromStdU16String(path));
    const std::string bytes = WideToUtf8(control_->DocumentSource());
    written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
              file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size()) &&
              file.flush();
  }
  if (done) done(written);
}

void TabIeBody::Print(QPrinter* printer, Done done) {
  const bool printed = control_->Print(printer);
  if (done) done(printed);
}

void TabIeBody::TakePicture(PictureDone done) {
  QWidget* window = control_->Window();
  const QImage picture = window != nullptr ? window->grab().toImage() : QImage();
  if (done) done(picture);
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
  if (TabIeBody* body = CreateIeBody(environment_, WString())) *new_browser = body->Control();
}

bool TabIeBody::TranslateAccelerator(const KeyMessage& message) {
  if (message.message != KeyMessage::kKeyUp) return false;
  const unsigned modifiers = (message.control ? DuiLib::MK_CONTROL : 0) | (message.alt ? DuiLib::MK_ALT : 0) |
                             (message.shift ? DuiLib::MK_SHIFT : 0);
  if (const unsigned command = CommandTable::ForKey(KeyScope::kCompatPage, message.virtual_key, modifiers)) {
    PostCommand(environment_.mainWindow, command);
  }
  return false;
}

DuiLib::LRESULT TabIeBody::TranslateAccelerator(DuiLib::MSG*) {
  // Keys typed inside the page never reach the toolkit's queue: the view's own key
  // filter hands them to the KeyMessage overload above. Keys the toolkit sees belong
  // to other windows and are not this body's.
  return DuiLib::S_FALSE;
}

void TabIeBody::AskTypedInto(std::function<void(bool typed)> answer) {
  QWebPage* page = control_->page();
  if (page == nullptr || page->mainFrame() == nullptr) {
    answer(true);
    return;
  }
  answer(page->mainFrame()->evaluateJavaScript(QString::fromStdU16String(TypedIntoScript::kProbe)).toBool());
}

namespace {

// A new body sized to the body bar and shown (its window stays hidden until the bar
// shows it), or nullptr when the environment lacks a part.
std::unique_ptr<TabIeBody> MakeIeBody(const TabIeBody::Environment& environment, const WString& url) {
  if (environment.bodyBar == nullptr || environment.network == nullptr || environment.pages == nullptr) return nullptr;
  auto body = std::make_unique<TabIeBody>(environment, url);
  if (QWidget* window = body->GetWindow()) window->setGeometry(environment.bodyBar->GetWidget()->rect());
  body->Show(true);
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

TabIeBody* CreateIeBody(const TabIeBody::Environment& environment, const WString& url) {
  auto body = MakeIeBody(environment, url);
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
  auto body = MakeIeBody(environment, page.GetLoadedUrl());
  if (body == nullptr) return false;
  TabIeBody* raw = body.get();
  page.AdoptBody(std::move(body));
  AnnounceIeBody(environment, raw);
  return true;
}

}  // namespace tarvo
