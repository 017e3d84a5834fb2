#include "session/windows/session_startup.h"

#include <QTimer>
#include <QWidget>

#include "platform/debug_output.h"
#include "preferences/browser_preferences.h"
#include "session/session_start.h"
#include "session/windows/restored_window.h"
#include "session/windows/session_keeper.h"
#include "settings/language_manager.h"
#include "shell/mainwnd/main_dui_wnd.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/c_message_box.h"

namespace tarvo {

namespace {
constexpr char16_t kOfferKey[] = u"session/offer_restore";
constexpr char16_t kCrashLoopKey[] = u"session/crash_loop";
}  // namespace

SessionStartup::SessionStartup(BrowserWindows& group, WindowOpener open, std::string dataRoot)
    : group_(group), open_(std::move(open)), path_(std::move(dataRoot) + SessionFile::kFileName) {}

SessionStartup::~SessionStartup() = default;

void SessionStartup::EndOfRun() {
  if (keeper_ != nullptr) keeper_->Finish();
}

bool SessionStartup::RestoreChosen() {
  return BrowserPreferences::ForThisBrowser().RestoreSession();
}

bool SessionStartup::OpenFirstWindows(const std::vector<WString>& startUrls, std::function<void()> ready) {
  const SessionFile file(path_);
  const SessionFile::ReadResult read = file.Read();
  if (SessionStart::MustSetAside(read.status)) {
    DebugOutput("session file unreadable, set aside: " + path_);
    if (!file.SetAside()) DebugOutput("session file could not be set aside");
  }
  SessionStart::Choice choice = SessionStart::Decide(read, RestoreChosen());
  const LanguageManager& language = LanguageManager::Instance();
  if (choice == SessionStart::Choice::kAskUser) {
    choice = CMessageBox::Show(0, Q(language.GetText(kOfferKey)), true) ? SessionStart::Choice::kRestore
                                                                          : SessionStart::Choice::kHomePage;
  }
  keeper_ = std::make_unique<SessionKeeper>(group_, file);
  if (choice != SessionStart::Choice::kRestore) {
    // A session that keeps crashing the browser is kept for the user to look at,
    // never offered again.
    if (choice == SessionStart::Choice::kCrashLoop && !file.SetAside()) DebugOutput("session not set aside");
    MainDuiWnd* window = open_(startUrls, std::move(ready), {});
    if (window == nullptr) return false;
    if (choice == SessionStart::Choice::kCrashLoop) {
      // Once the browser's loop runs, so that closing the browser ends the box too.
      const DuiLib::HWND owner = window->GetHWND();
      QTimer::singleShot(0, window->GetWidget(), [owner] {
        CMessageBox::Show(owner, Q(LanguageManager::Instance().GetText(kCrashLoopKey)), false);
      });
    }
    keeper_->Start(0);
    return true;
  }
  SessionState attempt = read.state;
  attempt.cleanExit = false;
  ++attempt.restoreAttempts;
  if (!file.Write(attempt)) DebugOutput("session restore not recorded");
  bool opened = false;
  for (const SavedWindow& saved : read.state.windows) {
    const auto restore = [saved](MainDuiWnd& window) { RestoredWindow::Start(window.PageList(), saved); };
    opened = open_({}, opened ? std::function<void()>() : ready, restore) != nullptr || opened;
  }
  if (!startUrls.empty() && open_(startUrls, opened ? std::function<void()>() : ready, {}) != nullptr) {
    opened = true;
  }
  if (!opened) return false;
  keeper_->Start(kRestoreSettledMs);
  return true;
}

}  // namespace tarvo
