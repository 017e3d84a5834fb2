#include "app/ckx_browser_app.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>

#include "app/browser_engine_settings.h"
#include "app/engine_body_factory.h"
#include "app/feature_registrations.h"
#include "app/first_wnd.h"
#include "app/init_settings.h"
#include "app/instance_handover.h"
#include "app/main_windows.h"
#include "settings/language_manager.h"
#include "app/service_loop.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "app/termination_signal_watcher.h"
#include "engines/webengine/cef_cookie_manager.h"
#include "engines/webengine/cef_entry_points.h"
#include "engines/webengine/web_app.h"
#include "engines/webkitgtk/lazy_compat_profile.h"
#include "history/browsing_data_cleaner.h"
#include "history/exit_cleaner.h"
#include "passwords/password_keeper.h"
#include "passwords/secret_service_keyring.h"
#include "platform/debug_output.h"
#include "protect/c_browser_url.h"
#include "platform/paths.h"
#include "platform/seconds_override.h"
#include "session/windows/session_startup.h"
#include "bus/message_bus.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/feature_hooks.h"
#include "shell/mainwnd/main_dui_wnd.h"
#include "store/user_database.h"
#include "ui/resource_manager.h"
#include "update/windows/update_feature.h"

namespace tarvo {

namespace {

constexpr const char* kDatabaseFailure = "Init browser data failed, please restart!";
constexpr const char* kLanguageFailure = "Init browser language data failed, please restart!";
constexpr const char* kDatabaseDamaged =
    "Part of the browser data file is damaged. A copy of it as it was is kept in %1; "
    "the browser goes on and saves what it still can.";
constexpr const char* kDiskFull =
    "The disk that holds the browser data is full: history, favourites and downloads are not saved "
    "until there is room on it again.";
constexpr const char* kDatabaseReadOnly =
    "The browser data file %1 may not be written: what you do now is not saved. "
    "Make the file writable and start the browser again.";
constexpr const char* kDatabaseHeld =
    "Another program is using the browser data file %1: history, favourites and downloads are not "
    "saved while it holds the file. Close that program to have them saved again.";
constexpr const char* kDatabaseWriteError =
    "The browser data file %1 could not be written: recent changes may not have been saved.";
constexpr const char* kNoAnswerFailure = "TarvoBrowser is already running but does not answer, please retry!";
constexpr const char* kSkinPackage = "skin/normal.dat";
// The compatibility engine's folder inside the data root and inside the cache folder.
constexpr const char* kCompatFolder = "Compat";
constexpr int kUpgradedDataVersion = 6;
constexpr std::chrono::minutes kServicePeriod{5};
// Shortens the service loop's period for tests that must see a round pass.
constexpr const char* kServicePeriodVariable = "TARVO_SERVICE_PERIOD_SECONDS";

void ShowInMessageBox(const std::string& caption, const std::string& text) {
  QMessageBox box(QMessageBox::Critical, QString::fromStdString(caption), QString::fromStdString(text),
                  QMessageBox::Ok);
  // The text may name files of the user's: shown as it is, never as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

QElapsedTimer& StartClock() {
  static QElapsedTimer clock;
  if (!clock.isValid()) {
    clock.start();
  }
  return clock;
}

}  // namespace

CKXBrowserApp::CKXBrowserApp(int argc, char** argv, Options options)
    : argc_(argc), argv_(argv), options_(std::move(options)) {
  StartClock();
  for (int i = 0; i < argc; ++i) {
    arguments_.emplace_back(argv[i]);
  }
  mainArgs_.argc = argc;
  mainArgs_.argv = argv;
  // The white list would restrict the VPN to listed sites; the browser runs with it off.
  account_.SetWhiteListActive(false);
}

CKXBrowserApp::~CKXBrowserApp() { ShutDown(); }

void CKXBrowserApp::Mark(const char* step) const {
  DebugOutput(std::string("startup: ") + step + " at " + std::to_string(StartClock().elapsed()) + " ms");
}

int CKXBrowserApp::Run() {
  webApp_ = std::make_shared<cef::WebApp>();
  const int processResult = cef::CefExecuteProcess(mainArgs_, webApp_, nullptr);
  if (processResult >= 0) {
    return processResult;
  }
  PrepareApplication();
  InitSettings();
  if (!options_.resourceFolder.empty()) {
    // The language packs beside the chosen resources, not beside the executable.
    SettingsRegistry::Instance().Set(SettingsKeys::kLanguageFolder, Utf8ToWide(options_.resourceFolder) + u"lang/");
  }
  Mark("settings");
  commandLine_ = CommandLineOptions::Parse(arguments_);
  if (!ClaimDataRoot() || !OpenDatabase()) {
    return 0;
  }
  if (LanguageManager::Instance().GetCurrentLanguage().empty()) {
    ErrorMessage::Show(kLanguageFailure);
    return 0;
  }
  Mark("database and language");
  if (commandLine_.setDefault) {
    // The desktop's own default-browser setting; the browser itself does not start.
    UpdateFeature::MakeDefaultFromCommandLine();
    return 0;
  }
  if (UpdateFeature::RunPendingInstaller(commandLine_.checkUpdates)) {
    return 0;
  }
  RegisterFeatures();
  StartServiceLoop();
  StartEngine();
  MessageBus::Instance().Initialise();
  Mark("engine");
  splash_ = std::make_unique<FirstWnd>();
  if (!OpenMainWindow()) {
    ShutDown();
    return 0;
  }
  Mark("main window");
  // The splash goes up once the first pages are already loading, above the main
  // window, so building it costs the first page nothing.
  splash_->Open();
  Mark("splash");
  QApplication::exec();
  ShutDown();
  return 1;
}

void CKXBrowserApp::PrepareApplication() {
  if (QCoreApplication::instance() == nullptr) {
    ownApplication_ = std::make_unique<QApplication>(argc_, argv_);
  }
  // The session bus is sought now, before any thread of the browser's or the
  // engine's runs (the engine's start asks for it anyway, through accessibility).
  // Where no session bus is given, D-Bus starts one by forking from its own thread
  // and waits for the child's answer; a fork taken while another thread holds a
  // lock (the memory allocator's, say) can leave that child stuck before it runs
  // anything, and the start waiting for it for ever.
  QAccessible::isActive();
  // The main window ends the loop itself after its orderly close; the splash closing
  // first must not end it.
  QApplication::setQuitOnLastWindowClosed(false);
  ErrorMessage::Presenter presenter = options_.presenter ? options_.presenter : &ShowInMessageBox;
  ErrorMessage::InstallPresenter(presenter);
  DuiLib::CResourceManager& resources = DuiLib::CResourceManager::Instance();
  resources.SetResourcePath(QString::fromStdString(
      options_.resourceFolder.empty() ? ExecutableFolder() : options_.resourceFolder));
  resources.SetResourceZip(QString::fromLatin1(kSkinPackage));
  if (options_.presenter) {
    resources.SetErrorReporter(
        [presenter](const QString& message) { presenter("Error", message.toStdString()); });
  } else {
    resources.SetErrorReporter(&DuiLib::CResourceManager::ShowErrorBox);
  }
  Mark("application");
}

bool CKXBrowserApp::ClaimDataRoot() {
  const std::string root = SettingsRegistry::Instance().GetUtf8(SettingsKeys::kDataRoot);
  // Without data folders (already reported) the database step reports the
  // consequence. A process that only sets the default browser never opens the
  // engine's profile: it runs beside a running browser and hands nothing over.
  if (root.empty() || commandLine_.setDefault) {
    return true;
  }
  handover_ = std::make_unique<InstanceHandover>(root);
  switch (handover_->Claim(commandLine_.startUrls, 20000, commandLine_.newWindow)) {
    case InstanceHandover::Role::kPrimary:
      return true;
    case InstanceHandover::Role::kHandedOver:
      DebugOutput("addresses handed to the running browser");
      return false;
    case InstanceHandover::Role::kNoAnswer:
      ErrorMessage::Show(kNoAnswerFailure);
      return false;
  }
  return false;
}

bool CKXBrowserApp::OpenDatabase() {
  UserDatabase& database = database_;
  // A statement on any thread may find a damaged page; the user is told on the
  // interface thread, once, without stopping the statement's thread.
  database.SetDamageListener([](const std::string& copyPath) {
    DebugOutput("database damaged; copy kept: " + (copyPath.empty() ? std::string("none") : copyPath));
    const QString text = QString::fromLatin1(kDatabaseDamaged)
                             .arg(copyPath.empty() ? QStringLiteral("no file (it could not be copied)")
                                                   : QString::fromStdString(copyPath));
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [text] { ErrorMessage::Show(text.toStdString()); }, Qt::QueuedConnection);
  });
  // Changes that cannot be saved are not dropped silently: the user hears why, once
  // for each cause.
  database.SetSaveFailureListener([](UserDatabase::SaveFailure failure) {
    const char* text = kDatabaseWriteError;
    switch (failure) {
      case UserDatabase::SaveFailure::kDiskFull: text = kDiskFull; break;
      case UserDatabase::SaveFailure::kReadOnly: text = kDatabaseReadOnly; break;
      case UserDatabase::SaveFailure::kHeldElsewhere: text = kDatabaseHeld; break;
      case UserDatabase::SaveFailure::kWriteError: break;
    }
    QString message = QString::fromLatin1(text);
    if (message.contains(QLatin1String("%1"))) {  // the full disk's message names no file
      message = message.arg(QString::fromStdU16String(SettingsRegistry::Instance().Get(SettingsKeys::kDatabaseFile)));
    }
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [message] { ErrorMessage::Show(message.toStdString()); }, Qt::QueuedConnection);
  });
  // Without a data folder there is no database path, and SQLite would quietly open
  // a temporary database that loses everything at exit.
  if (SettingsRegistry::Instance().Get(SettingsKeys::kDatabaseFile).empty() || database.Open() != 0) {
    DebugOutput("database: " + database.OpenError());
    ErrorMessage::Show(kDatabaseFailure);
    return false;
  }
  if (database.GetDataVersion() < kUpgradedDataVersion) {
    database.Upgrade();
  }
  CBrowserUrl::UseDatabase(database);
  return true;
}

void CKXBrowserApp::RegisterFeatures() {
  windows_ = std::make_unique<BrowserWindows>(account_, database_);
  passwords_ = new PasswordKeeper(
      std::make_unique<SecretServiceKeyring>(SettingsRegistry::Instance().GetUtf8(SettingsKeys::kBrand)));
  dataCleaner_ = new BrowsingDataCleaner(database_);
  FeatureHooks hooks{*windows_, serviceSteps_, endSteps_, enginePorts_, account_,
                     loginForms_, *passwords_, *dataCleaner_, accountTasks_,
                     database_};
  FeatureRegistrations::RegisterAll(hooks);
}

void CKXBrowserApp::StartServiceLoop() {
  const std::chrono::milliseconds forced = SecondsOverride::Read(kServicePeriodVariable);
  serviceLoop_ = std::make_unique<ServiceLoop>(serviceSteps_, forced.count() > 0 ? forced : kServicePeriod);
  serviceLoop_->Start();
}

void CKXBrowserApp::StartEngine() {
  const cef::CefSettings settings = BrowserEngineSettings::Build();
  cef::CefInitialize(mainArgs_, settings, webApp_, nullptr);
  // The compatibility engine starts later, with the first page that needs it; it is
  // told now what it must know then.
  compatEngine_.SetCertificateErrorPolicy(
      [this](const QUrl& url) { return compatCertificates_.AcceptError(url, true); });
  compatEngine_.SetLanguageSource([] {
    // The Chromium engine's Accept-Language, as the tags it lists ("zh-CN,zh;q=0.9").
    QStringList tags;
    for (const QString& entry : QString::fromStdString(LanguageManager::Instance().GetAcceptLanguage())
                                    .split(QLatin1Char(','), Qt::SkipEmptyParts)) {
      tags << entry.section(QLatin1Char(';'), 0, 0).trimmed();
    }
    return tags;
  });
  engineStarted_ = true;
  if (auto cookies = cef::CefCookieManager::GetGlobalManager()) {
    cookies->SetStoragePath(SettingsRegistry::Instance().Get(SettingsKeys::kCookieFolder), true);
  }
}

bool CKXBrowserApp::OpenMainWindow() {
  const SettingsRegistry& registry = SettingsRegistry::Instance();
  // The compatibility engine's own sub-folders, as the Chromium engine has its own.
  compatProfile_ = std::make_unique<ie::LazyCompatProfile>(
      compatEngine_,
      ie::CompatProfileOptions{QString::fromStdU16String(registry.Get(SettingsKeys::kDataRoot)) + kCompatFolder,
                               QString::fromStdU16String(registry.Get(SettingsKeys::kCacheFolder)) + kCompatFolder});
  mainWindows_ = std::make_unique<MainWindows>(*windows_, *compatProfile_, loginForms_);
  session_ = std::make_unique<SessionStartup>(
      *windows_,
      [windows = mainWindows_.get()](const std::vector<WString>& urls, std::function<void()> ready,
                                     std::function<void(MainDuiWnd&)> startPages) {
        return windows->Open(urls, std::move(ready), std::move(startPages));
      },
      SettingsRegistry::Instance().GetUtf8(SettingsKeys::kDataRoot));
  FirstWnd* splash = splash_.get();
  if (!session_->OpenFirstWindows(commandLine_.startUrls, [splash] { splash->SetMayClose(); })) {
    return false;
  }
  mainWindowShown_ = true;
  if (handover_ != nullptr) {
    handover_->SetReceiver(
        [this](std::vector<WString> urls, bool newWindow) { ReceiveHandover(std::move(urls), newWindow); });
  }
  signalWatcher_ = std::make_unique<TerminationSignalWatcher>([this](int signalNumber) {
    DebugOutput("closing on signal " + std::to_string(signalNumber));
    session_->EndOfRun();
    mainWindows_->CloseAll();
  });
  return true;
}

void CKXBrowserApp::ReceiveHandover(std::vector<WString> urls, bool newWindow) {
  if (newWindow) {
    mainWindows_->Open(urls);
    return;
  }
  // Addresses from another program go to an ordinary window (a new one when only
  // private windows are open): the user expects them in the history.
  MainDuiWnd* window = mainWindows_->Owned(windows_->LastUsedOrdinary());
  if (window == nullptr) {
    if (windows_->Count() > 0) mainWindows_->Open(urls);
    return;
  }
  if (urls.empty()) {
    // A plain second start asks for a fresh page.
    urls.push_back(SettingsRegistry::Instance().Get(SettingsKeys::kHomePage));
  }
  window->OpenHandedOverUrls(urls);
}

MainDuiWnd* CKXBrowserApp::main_window() const {
  return mainWindows_ != nullptr ? mainWindows_->First() : nullptr;
}

void CKXBrowserApp::ShutDown() {
  signalWatcher_.reset();
  if (handover_ != nullptr) {
    handover_->StopServing();
  }
  if (serviceLoop_ != nullptr) {
    serviceLoop_->Stop();
  }
  if (mainWindowShown_) {
    for (const auto& step : endSteps_) step();
    endSteps_.clear();
  }
  if (engineStarted_) {
    // Closes the remaining browsers; the profile (and with it the cookie and storage
    // databases) is flushed and closed when the application object goes below.
    cef::CefShutdown();
    engineStarted_ = false;
  }
  session_.reset();
  mainWindows_.reset();
  compatProfile_.reset();
  windows_.reset();
  splash_.reset();
  // Nothing writes history any more: the data file alone now holds the whole run,
  // for whoever copies it.
  if (database_.IsOpen() && database_.WriteBackLog() != 0) {
    DebugOutput("database: the write-ahead log could not be written back");
  }
  if (ownApplication_ != nullptr) {
    ownApplication_.reset();
    Mark("shut down");
  }
  // Only now may another process take the data root.
  handover_.reset();
}

int CKXBrowserApp::CleanUp() {
  // The engines have stopped and closed their files: the folders can be emptied
  // without the engines writing them back.
  ExitCleaner(database_).EmptyFoldersAfterEngines();
  if (dataCleaner_ != nullptr) dataCleaner_->EmptyPendingSiteData();
  return 0;
}

}  // namespace tarvo
