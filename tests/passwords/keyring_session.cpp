#include "passwords/keyring_session.h"

#include <libsecret/secret.h>
#include <stdlib.h>

namespace tarvo::test {

KeyringSession::KeyringSession(const std::string& busAddress) {
  setenv("DBUS_SESSION_BUS_ADDRESS", busAddress.c_str(), 1);
  GDBusConnection* connection = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  if (connection != nullptr) g_dbus_connection_set_exit_on_close(connection, FALSE);
  connection_ = connection;
}

KeyringSession::~KeyringSession() {
  // The next session starts from a new connection to its own bus.
  secret_service_disconnect();
  if (connection_ != nullptr) g_object_unref(static_cast<GDBusConnection*>(connection_));
}

}  // namespace tarvo::test
