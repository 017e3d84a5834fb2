#pragma once
// The settings window ("settings.xml"), on two pages: restoring the last session at
// start, sleeping tabs and their delay, the interface language, the search engine,
// clearing browsing data at exit, and making the browser the default; and the saved
// passwords (SavedPasswordsSection), read from the keyring when that page is first
// shown. Each choice is stored where the browser keeps it as soon as it is made and
// applied at once; there is no OK button. Each opening shows what is stored.
//
// GUI thread only. Modeless: OpenNew makes one that deletes itself when it closes
// (or when its owner goes).
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "platform/text.h"
#include "preferences/browser_preferences.h"
#include "preferences/windows/default_browser_probe.h"
#include "ui/window_impl_base.h"

namespace DuiLib {
class CButtonUI;
class CCheckBoxUI;
class CEditUI;
class CHorizontalLayoutUI;
class COptionUI;
class CTabLayoutUI;
}  // namespace DuiLib

namespace tarvo {

class PasswordKeeper;
class SavedPasswordsSection;
class UserDatabase;

class SettingsWnd : public DuiLib::WindowImplBase {
 public:
  // What the window asks of the browser beyond storing a choice.
  struct Effects {
    // The language changed: every main window follows it.
    std::function<void()> languageChanged;
    // The search engine changed: every main window shows its icon.
    std::function<void(const WString& icon)> searchEngineChanged;
    // Runs the default-browser command, which tells its result itself.
    std::function<void()> makeDefault;
    // Whether that command can run now (false while it runs).
    std::function<bool()> canMakeDefault;
  };
  // While the default-browser command runs, how often the window looks whether it
  // has finished (then it asks the desktop again).
  static constexpr int kDefaultPollMs = 300;

  // Shows a new window centred on `owner`; nullptr when it could not be made.
  // `passwords` (the profile's keeper) outlives the window.
  static SettingsWnd* OpenNew(DuiLib::HWND owner, BrowserPreferences preferences, UserDatabase& database,
                              PasswordKeeper& passwords, Effects effects);

  void Notify(DuiLib::TNotifyUI& msg) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXSettingsWnd"); }
  QString GetSkinFile() override { return QStringLiteral("settings.xml"); }
  void OnFinalMessage(DuiLib::HWND hwnd) override;

 private:
  SettingsWnd(BrowserPreferences preferences, UserDatabase& database, PasswordKeeper& passwords, Effects effects);
  ~SettingsWnd() override;
  void Build();
  void FillTexts();
  void ShowStoredChoices();
  void OnClick(const QString& name);
  void OnSelectChanged(DuiLib::CControlUI& sender);
  // Stores a valid typed delay; `settle`: the user left the field, which then shows
  // the stored delay again when what it holds is not one.
  void TakeMinutes(bool settle);
  void ChooseLanguage(const WString& name);
  void ChooseEngine(int index);
  void MakeDefault();
  void AskDefault();
  void ShowDefaultAnswer(DefaultBrowserProbe::Answer answer);
  // Turns to the page of `tab` (the first time to the passwords, their list is read).
  void ShowPage(DuiLib::COptionUI* tab);

  BrowserPreferences preferences_;
  UserDatabase& database_;
  Effects effects_;
  DefaultBrowserProbe probe_;
  DefaultBrowserProbe::Answer defaultAnswer_ = DefaultBrowserProbe::Answer::kUnknown;  // the last one shown
  QTimer defaultPoll_;
  std::unique_ptr<SavedPasswordsSection> passwords_;
  bool passwordsListed_ = false;

  // Controls of the skin, looked up once when the window is built (not owned).
  DuiLib::CCheckBoxUI* restore_ = nullptr;
  DuiLib::CCheckBoxUI* sleep_ = nullptr;
  DuiLib::CEditUI* minutes_ = nullptr;
  DuiLib::CCheckBoxUI* exitClean_ = nullptr;
  DuiLib::CControlUI* defaultState_ = nullptr;
  DuiLib::CButtonUI* defaultButton_ = nullptr;
  std::vector<std::pair<WString, DuiLib::COptionUI*>> languages_;  // one per installed pack
  std::vector<DuiLib::COptionUI*> engines_;                        // in the chooser's order
  DuiLib::COptionUI* generalTab_ = nullptr;
  DuiLib::COptionUI* passwordsTab_ = nullptr;
  DuiLib::CTabLayoutUI* pages_ = nullptr;
};

}  // namespace tarvo
