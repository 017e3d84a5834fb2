#include "passwords/windows/saved_passwords_section.h"

#include <algorithm>
#include <tuple>

#include "passwords/windows/passwords_language_keys.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/language_texts.h"
#include "ui/box_layout_ui.h"
#include "ui/button_ui.h"
#include "ui/check_box_ui.h"
#include "ui/label_ui.h"
#include "ui/window_impl_base.h"

namespace tarvo {

namespace {

namespace Keys = PasswordsLanguageKeys;

constexpr char16_t kHiddenPassword[] = u"••••••••";

template <class T>
T* AddChild(DuiLib::CContainerUI& parent, const char* attributes) {
  auto control = std::make_unique<T>();
  control->ApplyAttributeList(QString::fromLatin1(attributes));
  return parent.Add(std::move(control));
}

QString SiteName(const WString& origin) {
  const size_t scheme = origin.find(u"://");
  return Q(scheme == WString::npos ? origin : origin.substr(scheme + 3));
}

}  // namespace

SavedPasswordsSection::SavedPasswordsSection(PasswordKeeper& keeper, BrowserPreferences preferences)
    : keeper_(keeper), preferences_(std::move(preferences)) {}

void SavedPasswordsSection::Build(DuiLib::WindowImplBase& window) {
  offer_ = window.FindControl<DuiLib::CCheckBoxUI>(QLatin1String(kOfferName));
  list_ = window.FindControl<DuiLib::CVerticalLayoutUI>(QStringLiteral("settings/password_list"));
  state_ = window.FindControl<DuiLib::CLabelUI>(QStringLiteral("settings/passwords_state"));
  title_ = window.FindControl(QStringLiteral("settings/saved_passwords"));
  deleteAll_ = window.FindControl<DuiLib::CButtonUI>(QLatin1String(kDeleteAllName));
  FillTexts();
}

void SavedPasswordsSection::FillTexts() {
  SetLanguageText(offer_, Keys::kOfferPasswords);
  SetLanguageText(title_, Keys::kSavedPasswords);
  SetLanguageText(deleteAll_, Keys::kDeleteAll);
  for (Row& row : rows_) {
    if (row.show != nullptr) row.show->SetText(LanguageText(row.shown ? Keys::kHide : Keys::kShow));
  }
}

void SavedPasswordsSection::Refresh() {
  // Shown without a notification: showing the choice is not making it.
  if (offer_ != nullptr) offer_->SetCheck(preferences_.OfferPasswords(), false);
  // Until the keyring has answered there is nothing known to delete.
  if (deleteAll_ != nullptr) deleteAll_->SetEnabled(false);
  keeper_.List([this, alive = std::weak_ptr<int>(alive_)](const PasswordKeeper::Listing& listing) {
    if (!alive.expired()) ShowListing(listing);
  });
}

void SavedPasswordsSection::ShowListing(const PasswordKeeper::Listing& listing) {
  if (list_ == nullptr) return;
  list_->RemoveAll();
  rows_.clear();
  std::vector<Row> rows;
  for (const SavedLogin& login : listing.logins) rows.push_back({login, false});
  for (const WString& origin : listing.neverOrigins) rows.push_back({SavedLogin{origin, {}, {}, false}, true});
  std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
    return std::tie(a.login.origin, a.never, a.login.username) < std::tie(b.login.origin, b.never, b.login.username);
  });
  for (Row& row : rows) AddRow(std::move(row));
  if (listing.result == KeyringResult::kUnavailable) {
    SetState(LanguageText(Keys::kListUnavailable));
  } else if (rows_.empty()) {
    SetState(LanguageText(Keys::kListEmpty));
  } else {
    SetState(QString());
  }
  if (deleteAll_ != nullptr) deleteAll_->SetEnabled(!rows_.empty());
}

void SavedPasswordsSection::AddRow(Row row) {
  const auto index = static_cast<std::intptr_t>(rows_.size());
  auto* line = AddChild<DuiLib::CHorizontalLayoutUI>(*list_, R"(height="36" inset="10,5,6,5" childpadding="8")");
  auto* site = AddChild<DuiLib::CLabelUI>(*line, R"(width="180" height="26" endellipsis="true" textcolor="#FF1F2329")");
  site->SetText(SiteName(row.login.origin));
  site->SetToolTip(Q(row.login.origin));
  auto* user = AddChild<DuiLib::CLabelUI>(*line, R"(width="130" height="26" endellipsis="true" textcolor="#FF1F2329")");
  if (row.never) {
    user->SetAttribute(QStringLiteral("textcolor"), QStringLiteral("#FF858585"));
    user->SetText(LanguageText(Keys::kListNever));
  } else {
    user->SetText(row.login.username.empty() ? LanguageText(Keys::kNoUser) : Q(row.login.username));
    user->SetToolTip(user->GetText());
  }
  row.password = AddChild<DuiLib::CLabelUI>(*line, R"(height="26" endellipsis="true" textcolor="#FF5A6270")");
  if (!row.never) {
    row.password->SetText(Q(kHiddenPassword));
    row.show = AddChild<DuiLib::CButtonUI>(
        *line, R"(width="64" height="26" font="4" textcolor="#FF3F70D8" hottextcolor="#FF2459C8")");
    row.show->SetName(QLatin1String(kShowName));
    row.show->SetText(LanguageText(Keys::kShow));
    row.show->SetTag(index);
  }
  auto* remove = AddChild<DuiLib::CButtonUI>(
      *line,
      R"(width="26" height="26" normalimage="file='Dialog\dlg_close.png' dest='2,2,24,24'" hotimage="file='Dialog\dlg_close_hover.png' dest='2,2,24,24'")");
  remove->SetName(QLatin1String(kDeleteName));
  remove->SetToolTip(LanguageText(Keys::kDelete));
  remove->SetTag(index);
  rows_.push_back(std::move(row));
}

bool SavedPasswordsSection::OnClick(DuiLib::CControlUI& sender) {
  const QString name = sender.GetName();
  const auto index = static_cast<size_t>(sender.GetTag());
  if (name == QLatin1String(kShowName) && index < rows_.size()) {
    if (rows_[index].shown) {
      ShowPassword(index, false, {});
    } else {
      const SavedLogin& login = rows_[index].login;
      keeper_.Reveal(login.origin, login.username,
                     [this, alive = std::weak_ptr<int>(alive_), index, login](KeyringResult result,
                                                                              const WString& password) {
                       if (alive.expired() || result != KeyringResult::kDone || index >= rows_.size()) return;
                       if (rows_[index].login == login) ShowPassword(index, true, password);
                     });
    }
    return true;
  }
  if (name == QLatin1String(kDeleteName) && index < rows_.size()) {
    Delete(index);
    return true;
  }
  if (name == QLatin1String(kDeleteAllName)) {
    keeper_.RemoveAll([this, alive = std::weak_ptr<int>(alive_)](KeyringResult) {
      if (!alive.expired()) Refresh();
    });
    return true;
  }
  return false;
}

bool SavedPasswordsSection::OnSelectChanged(DuiLib::CControlUI& sender) {
  if (&sender != offer_ || offer_ == nullptr) return false;
  // A store that cannot be written keeps the old choice: the box shows it again.
  if (preferences_.SetOfferPasswords(offer_->GetCheck()) != 0) offer_->SetCheck(preferences_.OfferPasswords(), false);
  return true;
}

void SavedPasswordsSection::ShowPassword(size_t index, bool shown, const WString& password) {
  Row& row = rows_[index];
  row.shown = shown;
  if (row.password != nullptr) row.password->SetText(shown ? Q(password) : Q(kHiddenPassword));
  if (row.show != nullptr) row.show->SetText(LanguageText(shown ? Keys::kHide : Keys::kShow));
}

void SavedPasswordsSection::Delete(size_t index) {
  const Row& row = rows_[index];
  auto refresh = [this, alive = std::weak_ptr<int>(alive_)](KeyringResult) {
    if (!alive.expired()) Refresh();
  };
  if (row.never) {
    keeper_.UnmarkNever(row.login.origin, refresh);
  } else {
    keeper_.Remove(row.login.origin, row.login.username, refresh);
  }
}

void SavedPasswordsSection::SetState(const QString& text) {
  if (state_ != nullptr) state_->SetText(text);
}

void SavedPasswordsSection::Detach() {
  alive_.reset();
  rows_.clear();
  offer_ = nullptr;
  list_ = nullptr;
  state_ = nullptr;
  title_ = nullptr;
  deleteAll_ = nullptr;
}

}  // namespace tarvo
