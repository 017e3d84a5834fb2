#include "passwords/windows/password_forms_agent.h"

#include "passwords/windows/account_chooser_wnd.h"
#include "passwords/windows/passwords_language_keys.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/language_texts.h"
#include "ui/container_ui.h"

namespace tarvo {

namespace {

namespace Keys = PasswordsLanguageKeys;

// How a site is named in the bar: its origin without the scheme.
QString SiteName(const WString& origin) {
  const size_t scheme = origin.find(u"://");
  return Q(scheme == WString::npos ? origin : origin.substr(scheme + 3));
}

QString UserName(const WString& username) {
  return username.empty() ? LanguageText(Keys::kNoUser) : Q(username);
}

}  // namespace

PasswordFormsAgent::PasswordFormsAgent(PasswordKeeper& keeper, LoginSite::SiteMapper siteOf,
                                       std::function<bool()> offering)
    : keeper_(keeper), siteOf_(std::move(siteOf)), offering_(std::move(offering)) {}

void PasswordFormsAgent::AttachWindow(IBrowserWindow& window) {
  auto* region = window.Control(QStringLiteral("client_region"));
  auto* container = region != nullptr ? static_cast<DuiLib::CContainerUI*>(region->GetInterface(QStringLiteral("Container")))
                                      : nullptr;
  if (container == nullptr) return;
  auto bar = std::make_unique<PasswordOfferBarUI>(window.PageList(), bars_,
                                                  [this](PasswordOfferBarUI& from, PasswordOfferBarUI::Answer answer) {
                                                    Answer(from, answer);
                                                  });
  // Right above the pages, under the toolbar and the favourites bar.
  const int bodyBar = container->GetItemIndex(window.Control(QStringLiteral("body_bar")));
  container->AddAt(std::move(bar), bodyBar >= 0 ? bodyBar : container->GetCount());
  window.PageList().GetTabWnd().AddPageFollower([this](const Page& page) { ShowBarFor(page); });
}

PasswordFormsAgent::FormsState* PasswordFormsAgent::StateOf(const ILoginForms* forms, uint64_t serial) {
  const auto it = forms_.find(forms);
  return it != forms_.end() && it->second.serial == serial ? &it->second : nullptr;
}

PasswordFormsAgent::FormsState* PasswordFormsAgent::StateOfPage(const Page& page) {
  ITabBody* body = page.Body();
  const ILoginForms* forms = body != nullptr ? body->LoginForms() : nullptr;
  const auto it = forms_.find(forms);
  return it != forms_.end() && it->second.page == &page ? &it->second : nullptr;
}

void PasswordFormsAgent::OnLoginFormsGone(const ILoginForms& forms) { forms_.erase(&forms); }

void PasswordFormsAgent::OnLoginForm(Page& page, ILoginForms& forms, const LoginFormReport& report) {
  // The engines run no script off the record; this holds whatever an engine does.
  if (page.IsPrivate()) return;
  const std::optional<LoginSite> site = LoginSite::Of(report.frameOrigin, siteOf_);
  if (!site) return;
  FormsState& state = forms_[&forms];
  if (state.serial == 0) state.serial = nextSerial_++;
  state.forms = &forms;
  state.page = &page;
  switch (report.kind) {
    case LoginFormReport::Kind::kSeen:
      // Nothing goes into the page before the user acts; the accounts are read now so
      // that the fill follows the user's click at once.
      WithAccounts(forms, state, *site, [](ILoginForms&, FormsState&) {});
      break;
    case LoginFormReport::Kind::kFocused:
      WithAccounts(forms, state, *site, [this, report](ILoginForms& f, FormsState& s) { Focused(f, s, report); });
      break;
    case LoginFormReport::Kind::kSent:
      Sent(forms, state, *site, report);
      break;
  }
}

void PasswordFormsAgent::WithAccounts(ILoginForms& forms, FormsState& state, const LoginSite& site, Then then) {
  const uint64_t changes = keeper_.Changes();
  if (const auto known = known_.find(site.origin); known != known_.end() && known->second.changes == changes) {
    state.fillable = LoginPolicy::Fillable(site, known->second.logins);
    then(forms, state);
    return;
  }
  keeper_.Find(site.origin, [this, key = &forms, serial = state.serial, site, changes,
                             then = std::move(then)](const PasswordKeeper::Lookup& lookup) {
    // What was known before a change is of no use any more; a keyring that did not
    // answer is asked again next time.
    std::erase_if(known_, [changes](const auto& entry) { return entry.second.changes != changes; });
    if (lookup.result == KeyringResult::kDone) known_[site.origin] = Known{changes, lookup.logins};
    FormsState* state = StateOf(key, serial);
    if (state == nullptr) return;
    state->fillable = LoginPolicy::Fillable(site, lookup.logins);
    then(*key, *state);
  });
}

void PasswordFormsAgent::Focused(ILoginForms& forms, FormsState& state, const LoginFormReport& report) {
  if (state.fillable.empty() || !report.visible || chooserOpen_) return;
  if (state.fillable.size() == 1) {
    // One account: no doubt what goes where, once for the page load; after that the
    // field is the user's.
    if (state.filled == report.document) return;
    const SavedLogin& login = state.fillable.front();
    forms.Fill(report.formId, report.frameOrigin, login.username, login.password);
    state.filled = report.document;
    return;
  }
  if (std::chrono::steady_clock::now() - state.chooserClosed < kChooserRest) return;
  OpenChooser(forms, state, report);
}

void PasswordFormsAgent::OpenChooser(ILoginForms& forms, FormsState& state, const LoginFormReport& report) {
  Pages* list = state.page->List();
  if (list == nullptr) return;
  std::vector<QString> names;
  for (const SavedLogin& login : state.fillable) names.push_back(UserName(login.username));
  const std::vector<SavedLogin> accounts = state.fillable;
  const uint64_t serial = state.serial;
  ILoginForms* key = &forms;
  chooserOpen_ = AccountChooserWnd::Open(
      list->MainWindow(), forms.ScreenRect(report.field), std::move(names),
      [this, key, serial, accounts, report](size_t index) {
        if (StateOf(key, serial) == nullptr || index >= accounts.size()) return;
        key->Fill(report.formId, report.frameOrigin, accounts[index].username,
                                            accounts[index].password);
      },
      [this, key, serial] {
        chooserOpen_ = false;
        if (FormsState* known = StateOf(key, serial)) known->chooserClosed = std::chrono::steady_clock::now();
      });
}

void PasswordFormsAgent::Sent(ILoginForms& forms, FormsState& state, const LoginSite& site,
                              const LoginFormReport& report) {
  if (offering_ && !offering_()) return;
  const SavedLogin login{site.origin, report.username, report.password, site.secure};
  keeper_.Find(site.origin, [this, key = &forms, serial = state.serial, login,
                             visible = report.visible](const PasswordKeeper::Lookup& lookup) {
    FormsState* known = StateOf(key, serial);
    if (known == nullptr) return;
    if (lookup.result == KeyringResult::kUnavailable) {
      TellNoKeyring(*known);
      return;
    }
    if (lookup.result != KeyringResult::kDone) return;
    const LoginOffer offer = LoginPolicy::OfferFor(login.username, login.password, visible, lookup.logins, lookup.never);
    if (offer == LoginOffer::kNone) return;
    known->offer = Offer{login, offer == LoginOffer::kUpdate};
    known->notice.clear();
    ShowBarFor(*known->page);
  });
}

void PasswordFormsAgent::TellNoKeyring(FormsState& state) {
  if (std::exchange(toldNoKeyring_, true)) return;
  state.offer.reset();
  state.notice = LanguageText(Keys::kNoKeyring);
  ShowBarFor(*state.page);
}

void PasswordFormsAgent::ShowBarFor(const Page& page) {
  Pages* list = page.List();
  if (list == nullptr || list->Current() != &page) return;
  PasswordOfferBarUI* bar = nullptr;
  for (PasswordOfferBarUI* candidate : bars_) {
    if (&candidate->PageList() == list) bar = candidate;
  }
  if (bar == nullptr) return;
  FormsState* state = StateOfPage(page);
  if (state != nullptr && state->offer) {
    // An offer stays while the page is on the site the password was sent to.
    const std::optional<LoginSite> here = LoginSite::Of(page.GetLoadedUrl(), siteOf_);
    if (!here || here->origin != state->offer->login.origin) state->offer.reset();
  }
  if (state != nullptr && state->offer) {
    const Offer& offer = *state->offer;
    const QString site = SiteName(offer.login.origin);
    QString text;
    if (offer.update) {
      text = LanguageText(Keys::kOfferUpdate).arg(UserName(offer.login.username), site);
    } else if (offer.login.username.empty()) {
      text = LanguageText(Keys::kOfferSaveNoUser).arg(site);
    } else {
      text = LanguageText(Keys::kOfferSave).arg(UserName(offer.login.username), site);
    }
    bar->ShowOffer(text, offer.update);
  } else if (state != nullptr && !state->notice.isEmpty()) {
    bar->ShowNotice(state->notice);
  } else {
    bar->HideBar();
  }
}

void PasswordFormsAgent::Answer(PasswordOfferBarUI& bar, PasswordOfferBarUI::Answer answer) {
  Page* page = bar.PageList().Current();
  FormsState* state = page != nullptr ? StateOfPage(*page) : nullptr;
  if (state == nullptr) {
    bar.HideBar();
    return;
  }
  std::optional<Offer> offer = std::exchange(state->offer, std::nullopt);
  state->notice.clear();
  if (offer && answer == PasswordOfferBarUI::Answer::kSave) {
    keeper_.Save(offer->login, [this, key = state->forms, serial = state->serial](KeyringResult result) {
      SaveAnswered(serial, key, result);
    });
  } else if (offer && answer == PasswordOfferBarUI::Answer::kNever) {
    keeper_.MarkNever(offer->login.origin);
  }
  ShowBarFor(*page);
}

void PasswordFormsAgent::SaveAnswered(uint64_t serial, ILoginForms* forms, KeyringResult result) {
  FormsState* state = StateOf(forms, serial);
  if (state == nullptr || result == KeyringResult::kDone) return;
  if (result == KeyringResult::kUnavailable) {
    TellNoKeyring(*state);
    return;
  }
  state->notice = LanguageText(Keys::kSaveFailed);
  ShowBarFor(*state->page);
}

}  // namespace tarvo
