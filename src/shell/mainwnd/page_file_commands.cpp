#include "shell/mainwnd/page_file_commands.h"

#include <QImage>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <memory>

#include "settings/language_manager.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/command_router.h"
#include "shell/mainwnd/i_main_window.h"
#include "shell/mainwnd/main_window_language_keys.h"
#include "shell/pages/page.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/c_message_box.h"
#include "ui/window_impl_base.h"
#include "ui/window_registry.h"

namespace tarvo {

namespace {

namespace C = Commands;

bool AskDesktopPrintDialog(QPrinter& printer, QWidget* parent) {
  QPrintDialog dialog(&printer, parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace

PageFileCommands::PageFileCommands(IMainWindow& window, CommandRouter& router)
    : window_(window), printSetup_(&AskDesktopPrintDialog) {
  auto can = [this](PageOperation operation) { return [this, operation] { return BodyFor(operation) != nullptr; }; };
  router.Register(C::kSaveAsPdf, [this](const CommandArgs&) { SaveAsPdf(); }, can(PageOperation::kSaveAsPdf));
  router.Register(C::kSaveSource, [this](const CommandArgs&) { SaveSource(); }, can(PageOperation::kSaveSource));
  router.Register(C::kPrint, [this](const CommandArgs&) { Print(); }, can(PageOperation::kPrint));
  router.Register(C::kScreenshot, [this](const CommandArgs&) { Screenshot(); }, can(PageOperation::kPicture));
}

ITabBody* PageFileCommands::BodyFor(PageOperation operation) const {
  Page* page = window_.CurrentPage();
  ITabBody* body = page != nullptr ? page->Body() : nullptr;
  return body != nullptr && body->Supports(operation) ? body : nullptr;
}

QString PageFileCommands::AskPath(const PageSaveDialog::FileType& type) const {
  Page* page = window_.CurrentPage();
  return saveDialog_.Ask(window_.Frame().GetWidget(), page != nullptr ? Q(page->GetTitle()) : QString(), type);
}

ITabBody::Done PageFileCommands::ReportFailure(WStringView languageKey) const {
  const DuiLib::HWND owner = window_.Handle();
  return [owner, key = WString(languageKey)](bool written) {
    if (written) return;
    // The answer may come while the page is being destroyed: the message waits for
    // the event loop, and is dropped when the window has gone meanwhile.
    QTimer::singleShot(0, [owner, key] {
      if (DuiLib::CWindowRegistry::Instance().Find(owner) != nullptr) {
        CMessageBox::Show(owner, Q(LanguageManager::Instance().GetText(key)), false);
      }
    });
  };
}

void PageFileCommands::SaveAsPdf() {
  if (BodyFor(PageOperation::kSaveAsPdf) == nullptr) return;
  const QString path = AskPath(PageSaveDialog::kPdf);
  // The dialog ran its own event loop: the page may have gone meanwhile.
  if (ITabBody* body = path.isEmpty() ? nullptr : BodyFor(PageOperation::kSaveAsPdf)) {
    body->SaveAsPdf(path.toStdU16String(), ReportFailure(kSaveFailedMessage));
  }
}

void PageFileCommands::SaveSource() {
  if (BodyFor(PageOperation::kSaveSource) == nullptr) return;
  const QString path = AskPath(PageSaveDialog::kHtml);
  if (ITabBody* body = path.isEmpty() ? nullptr : BodyFor(PageOperation::kSaveSource)) {
    body->SaveSource(path.toStdU16String(), ReportFailure(kSaveFailedMessage));
  }
}

void PageFileCommands::Print() {
  if (BodyFor(PageOperation::kPrint) == nullptr) return;
  // The printer lives until the body has printed on it.
  auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
  if (!printSetup_(*printer, window_.Frame().GetWidget())) return;
  if (ITabBody* body = BodyFor(PageOperation::kPrint)) {
    ITabBody::Done report = ReportFailure(kPrintFailedMessage);
    body->Print(printer.get(), [printer, report](bool printed) { report(printed); });
  }
}

void PageFileCommands::Screenshot() {
  if (BodyFor(PageOperation::kPicture) == nullptr) return;
  const QString path = AskPath(PageSaveDialog::kPng);
  if (ITabBody* body = path.isEmpty() ? nullptr : BodyFor(PageOperation::kPicture)) {
    ITabBody::Done report = ReportFailure(kSaveFailedMessage);
    body->TakePicture([path, report](const QImage& picture) {
      report(!picture.isNull() && picture.save(path, "PNG"));
    });
  }
}

}  // namespace tarvo
