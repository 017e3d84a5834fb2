#include "update/windows/update_commands.h"

#include <QCoreApplication>
#include <thread>

#include "platform/debug_output.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/c_message_box.h"
#include "shell/windows/language_texts.h"
#include "update/default_browser.h"
#include "update/pending_installer.h"
#include "update/windows/update_language_keys.h"

namespace tarvo {

namespace {

namespace Keys = UpdateLanguageKeys;

// What the two entries share: the check, and the one worker that runs a check or
// the default-browser setting. GUI thread, except the worker's own work.
struct UpdateUi {
  BrowserWindows* windows = nullptr;  // not owned; outlives this (owns the handlers)
  std::shared_ptr<UpdateCheck> check;
  UpdateSettings settings;
  std::thread worker;
  std::function<QString()> engines;  // the engines' versions, or empty
  bool busy = false;
  bool stopped = false;  // the browser is ending: results are dropped

  ~UpdateUi() { Stop(); }
  void Stop() {
    stopped = true;
    check->Cancel();
    if (worker.joinable()) worker.join();
  }
};

QString Text(WStringView key, const QString& version, const QString& newer = QString()) {
  const QString text = LanguageText(key);
  return newer.isNull() ? text.arg(version) : text.arg(version, newer);
}

void Tell(const UpdateUi& ui, const QString& text) {
  IBrowserWindow* owner = ui.windows->LastUsed();
  CMessageBox::Show(owner != nullptr ? owner->Handle() : 0, text, false);
}

// Runs `work` on the worker and `done` with its result on the GUI thread, unless
// the windows have gone by then.
template <class Result>
void RunOnWorker(const std::shared_ptr<UpdateUi>& ui, std::function<Result()> work,
                 std::function<void(UpdateUi&, Result)> done) {
  if (ui->worker.joinable()) ui->worker.join();
  ui->busy = true;
  const std::weak_ptr<UpdateUi> weak = ui;
  ui->worker = std::thread([weak, work = std::move(work), done = std::move(done)] {
    const Result result = work();
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) return;
    QMetaObject::invokeMethod(
        app,
        [weak, done, result] {
          const std::shared_ptr<UpdateUi> alive = weak.lock();
          if (alive == nullptr || alive->stopped) return;
          alive->busy = false;
          done(*alive, result);
        },
        Qt::QueuedConnection);
  });
}

void OfferInstaller(UpdateUi& ui) {
  const QString version = Q(ui.check->Announced().version);
  IBrowserWindow* owner = ui.windows->LastUsed();
  if (!CMessageBox::Show(owner != nullptr ? owner->Handle() : 0, Text(Keys::kReady, version), true)) return;
  if (!PendingInstaller::Run(*ui.check, ui.settings, true)) {
    Tell(ui, LanguageText(Keys::kInstallFailed));
    return;
  }
  // The installer replaces the browser's files: the browser ends as at start-up.
  if (IBrowserWindow* window = ui.windows->LastUsed()) window->RunCommand(Commands::kCloseWindow);
}

// An answer of the update entry, with the engines the browser runs on.
void TellAbout(const UpdateUi& ui, const QString& text) {
  Tell(ui, ui.engines ? text + QStringLiteral("\n\n") + ui.engines() : text);
}

void ShowOutcome(UpdateUi& ui, UpdateCheck::Outcome outcome) {
  DebugOutput(std::string("update check from the menu: ") + OutcomeName(outcome));
  const QString own = Q(ui.settings.ownVersion);
  const QString announced = Q(ui.check->Announced().version);
  switch (outcome) {
    case UpdateCheck::Outcome::kDownloaded:
    case UpdateCheck::Outcome::kAlreadyDownloaded:
      OfferInstaller(ui);
      return;
    case UpdateCheck::Outcome::kUpToDate:
      TellAbout(ui, Text(Keys::kUpToDate, own));
      return;
    case UpdateCheck::Outcome::kAnnounced:
      TellAbout(ui, Text(Keys::kPackaged, announced));
      return;
    case UpdateCheck::Outcome::kFailed:
      TellAbout(ui, LanguageText(Keys::kFailed));
      return;
    case UpdateCheck::Outcome::kRejected:
      TellAbout(ui, LanguageText(Keys::kRejected));
      return;
  }
}

void ShowDefaultResult(UpdateUi& ui, DefaultBrowser::Result result) {
  switch (result) {
    case DefaultBrowser::Result::kDone: Tell(ui, LanguageText(Keys::kDefaultDone)); return;
    case DefaultBrowser::Result::kToolMissing: Tell(ui, LanguageText(Keys::kDefaultNoTool)); return;
    case DefaultBrowser::Result::kRefused: Tell(ui, LanguageText(Keys::kDefaultRefused)); return;
  }
}

}  // namespace

WString UpdateCommands::EntryText(const WString& ownVersion, const WString& newerVersion, bool checking) {
  if (checking) return LanguageText(Keys::kEntryChecking).toStdU16String();
  const QString text = newerVersion.empty() ? Text(Keys::kEntryCurrent, Q(ownVersion))
                                            : Text(Keys::kEntryNewer, Q(ownVersion), Q(newerVersion));
  return text.toStdU16String();
}

void UpdateCommands::Register(BrowserWindows& windows, std::shared_ptr<UpdateCheck> check, UpdateSettings settings,
                              std::vector<std::function<void()>>& endSteps, std::function<QString()> engines) {
  auto ui = std::make_shared<UpdateUi>();
  ui->engines = std::move(engines);
  ui->windows = &windows;
  ui->check = std::move(check);
  ui->settings = std::move(settings);
  const auto idle = [ui](IBrowserWindow&) { return !ui->busy; };
  FeatureCommands& commands = windows.Features();
  commands.Register(
      Commands::kCheckForUpdate,
      [ui](IBrowserWindow&, const CommandArgs&) {
        if (ui->busy || ui->stopped) return;
        const std::shared_ptr<UpdateCheck> check = ui->check;
        RunOnWorker<UpdateCheck::Outcome>(ui, [check] { return check->CheckForUpdate(); }, &ShowOutcome);
      },
      idle);
  commands.Register(
      Commands::kMakeDefaultBrowser,
      [ui](IBrowserWindow&, const CommandArgs&) {
        if (ui->busy || ui->stopped) return;
        RunOnWorker<DefaultBrowser::Result>(ui, &DefaultBrowser::Make, &ShowDefaultResult);
      },
      idle);
  commands.SetLabel(Commands::kCheckForUpdate, [weak = std::weak_ptr<UpdateUi>(ui)] {
    const std::shared_ptr<UpdateUi> alive = weak.lock();
    if (alive == nullptr) return WString();
    const WString newer = alive->check->IsAnnouncedNewer() ? alive->check->Announced().version : WString();
    return EntryText(alive->settings.ownVersion, newer, alive->busy);
  });
  endSteps.push_back([ui] { ui->Stop(); });
}

}  // namespace tarvo
