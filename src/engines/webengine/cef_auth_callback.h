#pragma once

#include <QPointer>

#include "engines/webengine/cef_string.h"

class QAuthenticator;

namespace tarvo::cef {

// Answers one authentication challenge. The engine needs the answer before
// GetAuthCredentials returns; afterwards the callback is spent and does nothing.
// Threads: engine UI thread only.
class CefAuthCallback {
 public:
  // authenticator: the engine's challenge record, valid until Expire().
  explicit CefAuthCallback(QAuthenticator* authenticator) : authenticator_(authenticator) {}

  // Answers with these credentials.
  void Continue(const CefString& username, const CefString& password);
  // Refuses to answer; the request fails with the challenge.
  void Cancel();
  // True once Continue was called while the callback was live.
  bool answered() const { return answered_; }
  // Layer use: the challenge has been answered or abandoned.
  void Expire() { authenticator_ = nullptr; }

 private:
  QAuthenticator* authenticator_ = nullptr;  // non-owning, the engine's
  bool answered_ = false;
};

}  // namespace tarvo::cef
