#include "preferences/windows/settings_wnd.h"

#include "passwords/password_keeper.h"
#include "passwords/windows/saved_passwords_section.h"
#include "preferences/windows/preferences_language_keys.h"
#include "settings/language_manager.h"
#include "shell/addressbar/address_bar_language_keys.h"
#include "shell/addressbar/web_search.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "store/info_records.h"
#include "store/search_records.h"
#include "ui/box_layout_ui.h"
#include "ui/check_box_ui.h"
#include "ui/edit_ui.h"
#include "ui/tab_layout_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {

namespace Keys = PreferencesLanguageKeys;

constexpr char kLanguageOptionPrefix[] = "settings/lang_";
constexpr char kEngineOptionPrefix[] = "settings/engine_";
constexpr int kLanguageOptionWidth = 120;

QString WithPrefix(const char* prefix, WStringView name) { return QLatin1String(prefix) + Q(WString(name)); }

}  // namespace

SettingsWnd* SettingsWnd::OpenNew(DuiLib::HWND owner, BrowserPreferences preferences, UserDatabase& database,
                                  PasswordKeeper& passwords, Effects effects) {
  auto* window = new SettingsWnd(std::move(preferences), database, passwords, std::move(effects));
  if (window->Create(owner, QStringLiteral("settings"), 0, 0) == 0) {
    delete window;
    return nullptr;
  }
  window->CenterWindow();
  window->ShowWindow(true, true);
  return window;
}

SettingsWnd::SettingsWnd(BrowserPreferences preferences, UserDatabase& database, PasswordKeeper& passwords,
                         Effects effects)
    : preferences_(std::move(preferences)),
      database_(database),
      effects_(std::move(effects)),
      passwords_(std::make_unique<SavedPasswordsSection>(passwords, preferences_)) {
  defaultPoll_.setInterval(kDefaultPollMs);
  defaultPoll_.callOnTimeout([this] {
    if (effects_.canMakeDefault && !effects_.canMakeDefault()) return;
    defaultPoll_.stop();
    AskDefault();
  });
}

SettingsWnd::~SettingsWnd() = default;

void SettingsWnd::Notify(DuiLib::TNotifyUI& msg) {
  const QString name = msg.pSender != nullptr ? msg.pSender->GetName() : QString();
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Build();
  } else if (msg.sType == DuiLib::kNotifyTextChanged && name == QLatin1String("settings/sleep_minutes")) {
    TakeMinutes(false);
  } else if ((msg.sType == DuiLib::kNotifyReturn || msg.sType == DuiLib::kNotifyKillFocus) &&
             name == QLatin1String("settings/sleep_minutes")) {
    TakeMinutes(true);
  } else if (msg.sType == DuiLib::kNotifyClick) {
    // Turning to another control leaves the delay's field.
    TakeMinutes(true);
    if (msg.pSender == nullptr || !passwords_->OnClick(*msg.pSender)) OnClick(name);
  } else if (msg.sType == DuiLib::kNotifySelectChanged && msg.pSender != nullptr) {
    OnSelectChanged(*msg.pSender);
  }
  WindowImplBase::Notify(msg);
}

void SettingsWnd::Build() {
  restore_ = FindControl<DuiLib::CCheckBoxUI>(QStringLiteral("settings/restore"));
  sleep_ = FindControl<DuiLib::CCheckBoxUI>(QStringLiteral("settings/sleep"));
  minutes_ = FindControl<DuiLib::CEditUI>(QStringLiteral("settings/sleep_minutes"));
  exitClean_ = FindControl<DuiLib::CCheckBoxUI>(QStringLiteral("settings/exit_clean"));
  defaultState_ = FindControl(QStringLiteral("settings/default_state"));
  defaultButton_ = FindControl<DuiLib::CButtonUI>(QStringLiteral("settings/default_btn"));
  generalTab_ = FindControl<DuiLib::COptionUI>(QStringLiteral("settings/tab_general"));
  passwordsTab_ = FindControl<DuiLib::COptionUI>(QStringLiteral("settings/tab_passwords"));
  pages_ = FindControl<DuiLib::CTabLayoutUI>(QStringLiteral("settings/pages"));
  passwords_->Build(*this);
  for (const WStringView engine : WebSearch::kEngineNames) {
    engines_.push_back(FindControl<DuiLib::COptionUI>(WithPrefix(kEngineOptionPrefix, engine)));
  }
  if (auto* list = FindControl<DuiLib::CHorizontalLayoutUI>(QStringLiteral("settings/language_list"))) {
    const QString look = GetPaintManager().GetDefaultAttributeList(QStringLiteral("Option"));
    for (const WString& language : LanguageManager::Instance().GetLanguageNames()) {
      auto option = std::make_unique<DuiLib::COptionUI>();
      option->ApplyAttributeList(look);
      option->SetName(WithPrefix(kLanguageOptionPrefix, language));
      option->SetGroup(QStringLiteral("language"));
      option->SetFixedWidth(kLanguageOptionWidth);
      languages_.emplace_back(language, list->Add(std::move(option)));
    }
  }
  FillTexts();
  ShowStoredChoices();
  AskDefault();
}

void SettingsWnd::FillTexts() {
  SetLanguageToolTip(FindControl(QStringLiteral("settings/closebtn")), WindowsLanguageKeys::kDialogClose);
  for (const WStringView key : Keys::kControls) SetLanguageText(FindControl(Q(WString(key))), key);
  if (minutes_ != nullptr) {
    minutes_->SetToolTip(LanguageText(Keys::kMinutesRange)
                             .arg(BrowserPreferences::kMinSleepMinutes)
                             .arg(BrowserPreferences::kMaxSleepMinutes));
  }
  for (size_t i = 0; i < engines_.size(); ++i) {
    SetLanguageText(engines_[i], AddressBarLanguageKeys::kEngineButtonTexts[i]);
  }
  // Each language is named in its own words' key of the current pack, as in the
  // language menu.
  for (const auto& [language, option] : languages_) {
    const WString key = WString(WindowsLanguageKeys::kLanguageNamePrefix) + language;
    if (option != nullptr) option->SetText(LanguageText(key, Q(language)));
  }
  ShowDefaultAnswer(defaultAnswer_);
  passwords_->FillTexts();
}

void SettingsWnd::ShowStoredChoices() {
  // Shown without notifications: showing a choice is not making it.
  if (restore_ != nullptr) restore_->SetCheck(preferences_.RestoreSession(), false);
  const bool sleeping = preferences_.SleepingTabs();
  if (sleep_ != nullptr) sleep_->SetCheck(sleeping, false);
  if (minutes_ != nullptr) {
    minutes_->SetText(QString::number(preferences_.SleepingTabsMinutes()));
    minutes_->SetEnabled(sleeping);
  }
  const WString current = LanguageManager::Instance().GetCurrentLanguage();
  for (const auto& [language, option] : languages_) {
    if (option != nullptr) option->Selected(language == current, false);
  }
  const WString engine = SearchRecords(database_).GetSearchEngine();
  for (size_t i = 0; i < engines_.size(); ++i) {
    if (engines_[i] != nullptr) engines_[i]->Selected(WebSearch::kEngineNames[i] == engine, false);
  }
  if (exitClean_ != nullptr) exitClean_->SetCheck(InfoRecords(database_).GetExitClean(), false);
}

void SettingsWnd::OnClick(const QString& name) {
  if (name == QLatin1String("settings/closebtn")) {
    Close(DuiLib::IDCANCEL);
  } else if (name == QLatin1String("settings/default_btn")) {
    MakeDefault();
  }
}

void SettingsWnd::OnSelectChanged(DuiLib::CControlUI& sender) {
  auto* option = dynamic_cast<DuiLib::COptionUI*>(&sender);
  if (option == nullptr || passwords_->OnSelectChanged(sender)) return;
  const bool on = option->IsSelected();
  if (option == generalTab_ || option == passwordsTab_) {
    if (on) ShowPage(option);
    return;
  }
  // A store that cannot be written keeps the old value: the box shows it again.
  auto shown = [this](int result) {
    if (result != 0) ShowStoredChoices();
  };
  if (option == restore_) {
    shown(preferences_.SetRestoreSession(on));
  } else if (option == sleep_) {
    shown(preferences_.SetSleepingTabs(on));
    if (minutes_ != nullptr) minutes_->SetEnabled(preferences_.SleepingTabs());
  } else if (option == exitClean_) {
    shown(InfoRecords(database_).SetExitClean(on));
  } else if (on) {
    for (const auto& [language, languageOption] : languages_) {
      if (languageOption == option) ChooseLanguage(language);
    }
    for (size_t i = 0; i < engines_.size(); ++i) {
      if (engines_[i] == option) ChooseEngine(static_cast<int>(i));
    }
  }
}

void SettingsWnd::ShowPage(DuiLib::COptionUI* tab) {
  if (pages_ != nullptr) pages_->SelectItem(tab == passwordsTab_ ? 1 : 0);
  if (tab == passwordsTab_ && !std::exchange(passwordsListed_, true)) passwords_->Refresh();
}

void SettingsWnd::TakeMinutes(bool settle) {
  if (minutes_ == nullptr) return;
  const std::optional<int> typed = BrowserPreferences::ParseMinutes(minutes_->GetText().toStdU16String());
  const int stored = preferences_.SleepingTabsMinutes();
  const bool taken = typed.has_value() && (*typed == stored || preferences_.SetSleepingTabsMinutes(*typed) == 0);
  if (settle && !taken) minutes_->SetText(QString::number(stored));
}

void SettingsWnd::ChooseLanguage(const WString& name) {
  if (LanguageManager::Instance().SetLanguage(name) != 0) {
    ShowStoredChoices();
    return;
  }
  if (effects_.languageChanged) effects_.languageChanged();
  FillTexts();
}

void SettingsWnd::ChooseEngine(int index) {
  WString icon;
  if (WebSearch(SearchRecords(database_)).ApplyChooserResult(index, icon) != 0) {
    ShowStoredChoices();
    return;
  }
  if (effects_.searchEngineChanged) effects_.searchEngineChanged(icon);
}

void SettingsWnd::MakeDefault() {
  if (!effects_.makeDefault || (effects_.canMakeDefault && !effects_.canMakeDefault())) return;
  effects_.makeDefault();
  if (defaultButton_ != nullptr) defaultButton_->SetEnabled(false);
  defaultPoll_.start();
}

void SettingsWnd::AskDefault() {
  if (defaultButton_ != nullptr) defaultButton_->SetEnabled(!effects_.canMakeDefault || effects_.canMakeDefault());
  probe_.Ask([this](DefaultBrowserProbe::Answer answer) { ShowDefaultAnswer(answer); });
}

void SettingsWnd::ShowDefaultAnswer(DefaultBrowserProbe::Answer answer) {
  defaultAnswer_ = answer;
  if (defaultState_ == nullptr) return;
  switch (answer) {
    case DefaultBrowserProbe::Answer::kYes: defaultState_->SetText(LanguageText(Keys::kIsDefault)); return;
    case DefaultBrowserProbe::Answer::kNo: defaultState_->SetText(LanguageText(Keys::kIsNotDefault)); return;
    case DefaultBrowserProbe::Answer::kUnknown: defaultState_->SetText(QString()); return;
  }
}

void SettingsWnd::OnFinalMessage(DuiLib::HWND hwnd) {
  defaultPoll_.stop();
  restore_ = sleep_ = exitClean_ = nullptr;
  minutes_ = nullptr;
  defaultState_ = nullptr;
  defaultButton_ = nullptr;
  languages_.clear();
  engines_.clear();
  generalTab_ = passwordsTab_ = nullptr;
  pages_ = nullptr;
  passwords_->Detach();
  WindowImplBase::OnFinalMessage(hwnd);
  delete this;
}

}  // namespace tarvo
