#include "passwords/secret_library.h"

#include <string>

#include "platform/runtime_library.h"
#include "platform/warning_output.h"

namespace tarvo {

const SecretLibrary* SecretLibrary::Opened() {
  static const SecretLibrary library;
  return library.complete_ ? &library : nullptr;
}

SecretLibrary::SecretLibrary() {
  // GObject and GIO come with libsecret: their functions are found through it.
  RuntimeLibrary library("libsecret-1.so.0");
  const bool found = library.opened() && library.Find("secret_password_storev_sync", storePassword) &&
                     library.Find("secret_password_lookupv_sync", lookUpPassword) &&
                     library.Find("secret_password_searchv_sync", searchPasswords) &&
                     library.Find("secret_password_clearv_sync", clearPasswords) &&
                     library.Find("secret_password_free", freePassword) &&
                     library.Find("secret_retrievable_get_attributes", attributesOf) &&
                     library.Find("secret_retrievable_retrieve_secret_sync", retrieveSecret) &&
                     library.Find("secret_value_get_text", textOf) && library.Find("secret_value_unref", unrefValue) &&
                     library.Find("g_object_unref", unrefObject) && library.Find("g_io_error_quark", ioErrors) &&
                     library.Find("g_dbus_error_quark", busErrors);
  if (!found) {
    WarningOutput("passwords: " + library.error() + "; no keyring can be used");
  }
  complete_ = found;
}

}  // namespace tarvo
