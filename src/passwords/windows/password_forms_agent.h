#pragma once
// What the browser does with the log-in forms its engines report: nothing goes into a
// page before the user acts. When the user goes into a visible log-in field, the one
// fillable saved account is filled; with several the user picks one from the list
// that opens under the field. After a form was sent it
// offers, in the bar of the page's window, to save the password (or to update a
// changed one). Nothing happens for a page of a private window. When no keyring
// service answers, a save says so in the bar, once in the browser's run.
//
// Threads: the GUI thread (the keeper answers through its poster there). Lifetime:
// made once at start-up, outlives every window; the bars list themselves with it.
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "passwords/login_policy.h"
#include "passwords/login_site.h"
#include "passwords/password_keeper.h"
#include "passwords/windows/password_offer_bar_ui.h"
#include "shell/pages/i_login_forms.h"

namespace tarvo {

class IBrowserWindow;

class PasswordFormsAgent : public ILoginFormListener {
 public:
  // A list that closed without a pick does not open again for this long (the focus
  // coming back to the field would open it at once).
  static constexpr std::chrono::milliseconds kChooserRest{700};

  // `siteOf`: the URL model's site of an address; `offering`: the user's switch.
  PasswordFormsAgent(PasswordKeeper& keeper, LoginSite::SiteMapper siteOf, std::function<bool()> offering);

  // Puts the bar into a new main window, above its pages, and keeps it in step with
  // the window's selected page.
  void AttachWindow(IBrowserWindow& window);

  void OnLoginForm(Page& page, ILoginForms& forms, const LoginFormReport& report) override;
  void OnLoginFormsGone(const ILoginForms& forms) override;

 private:
  struct Offer {
    SavedLogin login;
    bool update = false;
  };
  // What is known of one body's log-in forms.
  struct FormsState {
    uint64_t serial = 0;  // tells a body apart from a later one at the same address
    ILoginForms* forms = nullptr;  // the key of this state
    Page* page = nullptr;
    std::vector<SavedLogin> fillable;  // of the site last reported
    QString filled;  // the page load whose form the one account went into, if any
    std::optional<Offer> offer;
    QString notice;
    std::chrono::steady_clock::time_point chooserClosed;
  };
  using Then = std::function<void(ILoginForms& forms, FormsState& state)>;

  // The state of `forms` when it is still the body `serial` named; else nullptr.
  FormsState* StateOf(const ILoginForms* forms, uint64_t serial);
  // Runs `then` with the fillable accounts of `site` known (from the keyring when
  // they are not, or may have changed since).
  void WithAccounts(ILoginForms& forms, FormsState& state, const LoginSite& site, Then then);
  void Focused(ILoginForms& forms, FormsState& state, const LoginFormReport& report);
  void Sent(ILoginForms& forms, FormsState& state, const LoginSite& site, const LoginFormReport& report);
  void OpenChooser(ILoginForms& forms, FormsState& state, const LoginFormReport& report);
  // The bar of the page's window shows what the page has to say, when it is the
  // window's selected page.
  void ShowBarFor(const Page& page);
  void Answer(PasswordOfferBarUI& bar, PasswordOfferBarUI::Answer answer);
  void SaveAnswered(uint64_t serial, ILoginForms* forms, KeyringResult result);
  void TellNoKeyring(FormsState& state);
  FormsState* StateOfPage(const Page& page);

  PasswordKeeper& keeper_;
  LoginSite::SiteMapper siteOf_;
  std::function<bool()> offering_;
  std::map<const ILoginForms*, FormsState> forms_;  // keys are not owned; they report Gone
  // What the keyring held for an origin when the keeper's change count was `changes`:
  // a page of a site met before is filled without waiting for the keyring.
  struct Known {
    uint64_t changes = 0;
    std::vector<SavedLogin> logins;
  };
  std::map<WString, Known> known_;
  std::vector<PasswordOfferBarUI*> bars_;            // not owned: each window's tree
  uint64_t nextSerial_ = 1;
  bool chooserOpen_ = false;
  bool toldNoKeyring_ = false;
};

}  // namespace tarvo
