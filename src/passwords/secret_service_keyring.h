#pragma once

#include <string>

#include "passwords/i_password_keyring.h"

namespace tarvo {

// The desktop's keyring through libsecret: the Secret Service that GNOME Keyring and
// KWallet provide, reached on the session bus. Items carry the brand's schema
// ("org.<brand>.Password") with the attributes "origin", "username", "kind" ("login"
// or "never") and "page_scheme" ("https" or "http": the page the log-in came from);
// the password is the item's secret, kept in the default collection. There is no
// other store: without a Secret Service nothing is kept.
//
// Threads: one thread at a time; each call blocks on the session bus (a service that
// does not answer holds it for the bus's timeout).
class SecretServiceKeyring : public IPasswordKeyring {
 public:
  // `brand`: the brand's name ("TarvoBrowser"), which names the schema and the items.
  explicit SecretServiceKeyring(const std::string& brand);

  KeyringResult Store(const SavedLogin& login) override;
  KeyringResult Find(const WString& origin, std::vector<SavedLogin>& logins) override;
  KeyringResult List(std::vector<SavedLogin>& logins, std::vector<WString>& neverOrigins) override;
  KeyringResult Reveal(const WString& origin, const WString& username, WString& password) override;
  KeyringResult Remove(const WString& origin, const WString& username) override;
  KeyringResult MarkNever(const WString& origin) override;
  KeyringResult IsNever(const WString& origin, bool& never) override;
  KeyringResult UnmarkNever(const WString& origin) override;
  KeyringResult RemoveAll() override;

  const std::string& schema_name() const { return schemaName_; }

 private:
  std::string brand_;
  std::string schemaName_;
};

}  // namespace tarvo
