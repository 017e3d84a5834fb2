#pragma once
// The browser process from start to end: brings the subsystems up in order, runs
// the main window's event loop, and shuts the engine down in order before the
// process ends, so the last cookies and storage writes reach the disk.
//
// Threads: Run and CleanUp on the first thread. The splash and the main window
// live on that thread too; the service loop runs on its own thread.
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "account/account_state.h"
#include "account/account_task_queue.h"
#include "app/browser_engine_settings.h"
#include "app/service_loop.h"
#include "engines/cef/chromium_engine_port.h"
#include "engines/ie/compat_engine_port.h"
#include "engines/webkitgtk/compat_engine_loader.h"
#include "engines/shared/certificate_policy.h"
#include "settings/command_line_options.h"
#include "shell/pages/login_form_events.h"
#include "store/user_database.h"
#include "engines/webengine/cef_types.h"
#include "platform/error_message.h"

class QApplication;

namespace tarvo {

namespace cef {
class WebApp;
}
namespace ie {
class LazyCompatProfile;
}
class BrowserWindows;
class BrowsingDataCleaner;
class FirstWnd;
class InstanceHandover;
class MainDuiWnd;
class MainWindows;
class PasswordKeeper;
class SessionStartup;
class TerminationSignalWatcher;

class CKXBrowserApp {
 public:
  struct Options {
    // Where the skin package and the language packs are read; empty: beside the
    // executable.
    std::string resourceFolder;
    // How start-up failures and skin errors reach the user; empty: standard error
    // and a message box titled "Error".
    ErrorMessage::Presenter presenter;
  };

  // Keeps the arguments (they must outlive the object, as main's do).
  CKXBrowserApp(int argc, char** argv, Options options = {});
  virtual ~CKXBrowserApp();
  CKXBrowserApp(const CKXBrowserApp&) = delete;
  CKXBrowserApp& operator=(const CKXBrowserApp&) = delete;

  // Start-up, the event loop until the main window is closed (or SIGTERM/SIGINT
  // closes it), then the orderly shutdown. Returns the engine's code for an engine
  // helper process, 0 when start-up ended early (a failure was shown, or the
  // addresses were handed to the running browser), 1 after a normal run. Uses the
  // QApplication that exists, or makes one for the run. Call once.
  virtual int Run();
  // Exit-time work after Run: when "exit_clean" is on, empties the search texts and
  // the history and deletes the files (not the folders, not dot files) of the
  // cookie, cache and log folders. Returns 0. Does nothing without an open database.
  virtual int CleanUp();

  // The first main window still open while Run runs, or nullptr.
  MainDuiWnd* main_window() const;
  // The group of main windows while Run runs, or nullptr.
  BrowserWindows* windows() const { return windows_.get(); }
  // True once the main window has been shown during Run.
  bool main_window_shown() const { return mainWindowShown_; }
  // The login and VPN state the run hands around (benchmarks drive it).
  AccountState& account() const { return account_; }
  // The profile's database (benchmarks read it).
  UserDatabase& database() const { return database_; }
  AccountTaskQueue& account_tasks() const { return accountTasks_; }
  // The start addresses of the command line.
  const CommandLineOptions& command_line() const { return commandLine_; }

 private:
  void PrepareApplication();
  // Makes the windows' group and lets every feature register its commands, window
  // hooks, service-loop steps and end steps.
  void RegisterFeatures();
  bool ClaimDataRoot();
  bool OpenDatabase();
  void StartServiceLoop();
  void StartEngine();
  bool OpenMainWindow();
  // A later process handed `urls` over: a new window, or tabs in the window used last.
  void ReceiveHandover(std::vector<WString> urls, bool newWindow);
  void ShutDown();
  void Mark(const char* step) const;

  std::vector<std::string> arguments_;
  int argc_ = 0;
  char** argv_ = nullptr;  // not owned: main's arguments
  Options options_;
  CommandLineOptions commandLine_;
  cef::CefMainArgs mainArgs_;
  std::shared_ptr<cef::WebApp> webApp_;
  std::unique_ptr<QApplication> ownApplication_;  // only when Run made it
  std::unique_ptr<InstanceHandover> handover_;
  std::unique_ptr<FirstWnd> splash_;
  std::unique_ptr<ServiceLoop> serviceLoop_;
  // Loads the compatibility engine with the first page that needs it; whatever the
  // engine was given lives as long as it.
  ie::CompatEngineLoader compatEngine_;
  // The profile's database, opened by Run. Never destroyed: the account task queue's
  // thread and the favourites' worker may still write it after Run has returned.
  UserDatabase& database_ = *new UserDatabase();
  // The login and VPN state of the profile, handed to the features, the engine and
  // the windows. Never destroyed: the account task queue's thread and detached icon
  // fetches may still read it after Run has returned, up to the process's end.
  AccountState& account_ = *new AccountState();
  // The account and VPN operations' thread. Never destroyed: that thread ends only
  // with the process (a request may still wait on a silent service).
  AccountTaskQueue& accountTasks_ = *new AccountTaskQueue();
  // Where both engines' pages report log-in forms and the saved-passwords feature
  // hears them. Never destroyed: Chromium pages the engine still closes at the
  // process's end report their forms' end to it.
  LoginFormEvents& loginForms_ = *new LoginFormEvents();
  // The saved passwords' keeper over the desktop's keyring, made once the brand that
  // names its entries is known. Never destroyed: its worker may still wait on a
  // keyring that does not answer, which must not hold the process's end.
  PasswordKeeper* passwords_ = nullptr;
  // What the clear-data window, the browser's end and CleanUp clear through, made
  // once the database is open. Never destroyed: the history feature's windows, kept
  // to the process's end, hold it.
  BrowsingDataCleaner* dataCleaner_ = nullptr;
  // What the features ask of the engines, handed to them once at registration.
  ChromiumEnginePort chromiumPort_{account_, loginForms_};
  CompatEnginePort compatPort_{compatEngine_, [this] { return compatProfile_.get(); }};
  const std::vector<IEnginePort*> enginePorts_{&chromiumPort_, &compatPort_};
  CertificatePolicy compatCertificates_{&BrowserEngineSettings::MirrorForCertificateError};
  std::vector<ServiceLoop::Step> serviceSteps_;
  std::vector<std::function<void()>> endSteps_;
  // The windows' group and the ordinary windows' compatibility profile outlive every window.
  std::unique_ptr<BrowserWindows> windows_;
  std::unique_ptr<ie::LazyCompatProfile> compatProfile_;
  std::unique_ptr<MainWindows> mainWindows_;
  std::unique_ptr<SessionStartup> session_;  // goes before the windows
  std::unique_ptr<TerminationSignalWatcher> signalWatcher_;
  bool mainWindowShown_ = false;
  bool engineStarted_ = false;
};

}  // namespace tarvo
