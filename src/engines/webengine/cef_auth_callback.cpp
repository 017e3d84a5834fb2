#include "engines/webengine/cef_auth_callback.h"

#include <QAuthenticator>

namespace tarvo::cef {

void CefAuthCallback::Continue(const CefString& username, const CefString& password) {
  if (authenticator_ == nullptr) {
    return;
  }
  authenticator_->setUser(QString::fromStdU16String(username));
  authenticator_->setPassword(QString::fromStdU16String(password));
  answered_ = true;
  authenticator_ = nullptr;
}

void CefAuthCallback::Cancel() {
  if (authenticator_ == nullptr) {
    return;
  }
  // A null authenticator tells the engine the challenge was refused.
  *authenticator_ = QAuthenticator();
  authenticator_ = nullptr;
}

}  // namespace tarvo::cef
