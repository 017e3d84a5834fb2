#include "engines/tls_listener.h"

#include <QSslSocket>

#include "engines/self_signed_certificate.h"

namespace tarvo::test {

TlsListener::TlsListener() {
  const SelfSignedCertificate made = SelfSignedCertificate::Make();
  certificate_ = QSslCertificate(QByteArray::fromStdString(made.certificate_pem), QSsl::Pem);
  key_ = QSslKey(QByteArray::fromStdString(made.key_pem), QSsl::Ec, QSsl::Pem);
}

void TlsListener::incomingConnection(qintptr descriptor) {
  auto* socket = new QSslSocket(this);
  if (!socket->setSocketDescriptor(descriptor)) {
    delete socket;
    return;
  }
  socket->setLocalCertificate(certificate_);
  socket->setPrivateKey(key_);
  socket->startServerEncryption();
  addPendingConnection(socket);
}

}  // namespace tarvo::test
