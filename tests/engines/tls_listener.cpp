#include "engines/tls_listener.h"

#include <QFile>
#include <QSslSocket>

#include "support/temp_dir.h"
#include "support/test_credentials.h"

namespace tarvo::test {

TlsListener::TlsListener() {
  const TempDir folder;
  const TestCredentials made(folder.path());
  const auto read = [](const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  certificate_ = QSslCertificate(read(made.certificateFile()), QSsl::Pem);
  key_ = QSslKey(read(made.certificateKeyFile()), QSsl::Ec, QSsl::Pem);
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
