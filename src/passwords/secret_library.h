#pragma once

#include <libsecret/secret.h>

namespace tarvo {

// libsecret, with GIO and GObject under it, opened by the first keyring call rather
// than with the program: linked, the three were loaded and relocated before main()
// on every start, although the keyring is first asked once a log-in form shows.
// The functions keep libsecret's own signatures.
class SecretLibrary {
 public:
  // The library, opened by the first caller (any thread); null where it cannot be,
  // with the reason written out once.
  static const SecretLibrary* Opened();

  decltype(&secret_password_storev_sync) storePassword = nullptr;
  decltype(&secret_password_lookupv_sync) lookUpPassword = nullptr;
  decltype(&secret_password_searchv_sync) searchPasswords = nullptr;
  decltype(&secret_password_clearv_sync) clearPasswords = nullptr;
  decltype(&secret_password_free) freePassword = nullptr;
  decltype(&secret_retrievable_get_attributes) attributesOf = nullptr;
  decltype(&secret_retrievable_retrieve_secret_sync) retrieveSecret = nullptr;
  decltype(&secret_value_get_text) textOf = nullptr;
  decltype(&secret_value_unref) unrefValue = nullptr;
  decltype(&g_object_unref) unrefObject = nullptr;
  // The error domains of GIO and of D-Bus (G_IO_ERROR, G_DBUS_ERROR).
  decltype(&g_io_error_quark) ioErrors = nullptr;
  decltype(&g_dbus_error_quark) busErrors = nullptr;

 private:
  // Finds every function; complete_ says whether all were found.
  SecretLibrary();

  bool complete_ = false;
};

}  // namespace tarvo
