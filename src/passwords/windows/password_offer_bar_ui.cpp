#include "passwords/windows/password_offer_bar_ui.h"

#include <algorithm>

#include "passwords/windows/passwords_language_keys.h"
#include "shell/windows/language_texts.h"
#include "ui/button_ui.h"
#include "ui/label_ui.h"
#include "ui/paint_manager_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {

namespace Keys = PasswordsLanguageKeys;

template <class T>
T* AddChild(DuiLib::CContainerUI& parent, const char* attributes) {
  auto control = std::make_unique<T>();
  control->ApplyAttributeList(QString::fromLatin1(attributes));
  return parent.Add(std::move(control));
}

}  // namespace

PasswordOfferBarUI::PasswordOfferBarUI(Pages& pages, std::vector<PasswordOfferBarUI*>& bars, Listener listener)
    : pages_(pages), bars_(bars), listener_(std::move(listener)) {
  SetName(QLatin1String(kName));
  ApplyAttributeList(QStringLiteral(
      R"(height="44" inset="14,7,8,7" childpadding="10" bkcolor="#FFEAF1FD" visible="false")"));
  AddChild<DuiLib::CControlUI>(*this, R"(width="22" height="22" padding="0,4,0,4" bkimage="Dialog\key.png")");
  text_ = AddChild<DuiLib::CLabelUI>(*this, R"(height="30" font="3" textcolor="#FF1F2329" endellipsis="true")");
  save_ = AddChild<DuiLib::CButtonUI>(
      *this,
      R"(name="password_bar/save" height="30" autocalcwidth="true" textpadding="16,0,16,0" font="2" textcolor="#FFFFFFFF" bkcolor="#FF2F6FED" hotbkcolor="#FF2459C8" pushedbkcolor="#FF1E4DB0" borderround="8,8")");
  never_ = AddChild<DuiLib::CButtonUI>(
      *this,
      R"(name="password_bar/never" height="30" autocalcwidth="true" textpadding="12,0,12,0" font="3" textcolor="#FF2459C8" bkcolor="#FFFFFFFF" hotbkcolor="#FFE8F0FE" bordersize="1" bordercolor="#FFC9D6F2" borderround="8,8")");
  notNow_ = AddChild<DuiLib::CButtonUI>(
      *this,
      R"(name="password_bar/not_now" height="30" autocalcwidth="true" textpadding="12,0,12,0" font="3" textcolor="#FF2459C8" bkcolor="#FFFFFFFF" hotbkcolor="#FFE8F0FE" bordersize="1" bordercolor="#FFC9D6F2" borderround="8,8")");
  auto* close = AddChild<DuiLib::CButtonUI>(
      *this,
      R"(name="password_bar/close" width="30" height="30" normalimage="file='Dialog\dlg_close.png' dest='3,3,27,27'" hotimage="file='Dialog\dlg_close_hover.png' dest='3,3,27,27'")");
  close->SetToolTip(LanguageText(Keys::kClose));
  // Hidden, the bar is still part of the window that screen readers walk: its parts
  // say what they are before its first offer.
  text_->SetText(LanguageText(Keys::kSavedPasswords));
  NameButtons(false);
  bars_.push_back(this);
}

void PasswordOfferBarUI::NameButtons(bool update) {
  save_->SetText(LanguageText(update ? Keys::kUpdate : Keys::kSave));
  never_->SetText(LanguageText(Keys::kNever));
  notNow_->SetText(LanguageText(Keys::kNotNow));
}

PasswordOfferBarUI::~PasswordOfferBarUI() {
  bars_.erase(std::remove(bars_.begin(), bars_.end(), this), bars_.end());
  if (GetManager() != nullptr) GetManager()->RemoveNotifier(this);
}

void PasswordOfferBarUI::SetManager(DuiLib::CPaintManagerUI* manager, DuiLib::CControlUI* parent, bool init) {
  if (GetManager() != nullptr && GetManager() != manager) GetManager()->RemoveNotifier(this);
  CHorizontalLayoutUI::SetManager(manager, parent, init);
  if (GetManager() != nullptr) GetManager()->AddNotifier(this);
}

void PasswordOfferBarUI::ShowOffer(const QString& text, bool update) { Show(text, true, update); }

void PasswordOfferBarUI::ShowNotice(const QString& text) { Show(text, false, false); }

void PasswordOfferBarUI::Show(const QString& text, bool offer, bool update) {
  offer_ = offer;
  text_->SetText(text);
  text_->SetToolTip(text);
  NameButtons(update);
  for (DuiLib::CButtonUI* button : {save_, never_, notNow_}) button->SetVisible(offer);
  SetVisible(true);
  NeedParentUpdate();
}

void PasswordOfferBarUI::HideBar() {
  if (!IsVisible()) return;
  offer_ = false;
  SetVisible(false);
  NeedParentUpdate();
}

void PasswordOfferBarUI::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType != DuiLib::kNotifyClick || msg.pSender == nullptr || msg.pSender->GetParent() != this) return;
  const QString name = msg.pSender->GetName();
  Answer answer = Answer::kClose;
  if (name == QLatin1String(kSaveName)) {
    answer = Answer::kSave;
  } else if (name == QLatin1String(kNeverName)) {
    answer = Answer::kNever;
  } else if (name == QLatin1String(kNotNowName)) {
    answer = Answer::kNotNow;
  } else if (name != QLatin1String(kCloseName)) {
    return;
  }
  if (listener_) listener_(*this, answer);
}

}  // namespace tarvo
