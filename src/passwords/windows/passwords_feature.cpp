#include "passwords/windows/passwords_feature.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "history/browsing_data_cleaner.h"
#include "passwords/password_keeper.h"
#include "passwords/windows/password_forms_agent.h"
#include "preferences/browser_preferences.h"
#include "protect/c_browser_url.h"
#include "protect/domain_list.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/feature_hooks.h"
#include "shell/pages/login_form_events.h"

namespace tarvo {

void PasswordsFeature::Register(FeatureHooks& hooks) {
  BrowserWindows& windows = hooks.windows;
  PasswordKeeper& keeper = hooks.passwords;
  keeper.SetPoster([](std::function<void()> answer) {
    // An answer that comes after the application has gone is dropped.
    if (QCoreApplication* application = QCoreApplication::instance()) {
      QMetaObject::invokeMethod(application, std::move(answer), Qt::QueuedConnection);
    }
  });
  // Never destroyed: engine bodies still going at the process's end tell it of their
  // forms.
  static auto* agent = new PasswordFormsAgent(
      keeper,
      [](WStringView url) {
        const AddressRoute route = CBrowserUrl::Instance().Route(url);
        LoginSite::Mapping mapping{route.shown, {}};
        if (route.mapped && route.shown != url) DomainList::Instance().FindTarget(url, mapping.mirror);
        return mapping;
      },
      [] { return BrowserPreferences::ForThisBrowser().OfferPasswords(); });
  hooks.loginForms.SetListener(agent);
  windows.AddWindowHook([](IBrowserWindow& window) { agent->AttachWindow(window); });
  hooks.dataCleaner.SetSavedPasswords(&keeper);
}

}  // namespace tarvo
