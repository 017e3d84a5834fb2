#include "preferences/windows/preferences_commands.h"

#include <memory>

#include "preferences/browser_preferences.h"
#include "preferences/windows/settings_wnd.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/feature_hooks.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/qt_text.h"
#include "store/user_database.h"
#include "ui/button_ui.h"
#include "ui/window_registry.h"

namespace tarvo {

namespace {

SettingsWnd::Effects EffectsFor(BrowserWindows& windows) {
  SettingsWnd::Effects effects;
  effects.languageChanged = [&windows] {
    for (IBrowserWindow* window : windows.Windows()) window->OnLanguageChanged();
  };
  effects.searchEngineChanged = [&windows](const WString& icon) {
    for (IBrowserWindow* window : windows.Windows()) {
      auto* mini = dynamic_cast<DuiLib::CButtonUI*>(window->Control(QStringLiteral("searchmini_btn")));
      if (mini != nullptr && !icon.empty()) mini->SetNormalImage(Q(icon));
    }
  };
  effects.makeDefault = [&windows] {
    if (IBrowserWindow* window = windows.LastUsed()) window->RunCommand(Commands::kMakeDefaultBrowser);
  };
  effects.canMakeDefault = [&windows] {
    IBrowserWindow* window = windows.LastUsed();
    return window != nullptr && window->IsCommandAvailable(Commands::kMakeDefaultBrowser);
  };
  return effects;
}

}  // namespace

void PreferencesCommands::Register(FeatureHooks& hooks) {
  BrowserWindows& windows = hooks.windows;
  auto open = std::make_shared<DuiLib::HWND>(0);  // the open window, if it still exists
  PasswordKeeper& passwords = hooks.passwords;
  UserDatabase& database = hooks.database;
  windows.Features().Register(Commands::kShowSettings, [&windows, &passwords, &database, open](IBrowserWindow& window,
                                                                                              const CommandArgs&) {
    if (auto* shown = DuiLib::CWindowRegistry::Instance().Find(*open)) {
      shown->ShowWindow(true, true);
      return;
    }
    SettingsWnd* settings = SettingsWnd::OpenNew(window.Handle(), BrowserPreferences::ForThisBrowser(),
                                                 database, passwords, EffectsFor(windows));
    *open = settings != nullptr ? settings->GetHWND() : 0;
  });
}

}  // namespace tarvo
