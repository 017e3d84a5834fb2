#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>

namespace tarvo::test {

// A listening socket whose connections speak TLS with a self-signed certificate
// made when it is created; hand it to TestHttpServer to serve https. Every
// connection is encrypted before the server reads from it; connections whose
// client gives up on the handshake (a refused certificate) are counted and closed.
// Threads: GUI thread (the test's event loop).
class TlsListener : public QTcpServer {
  Q_OBJECT
 public:
  TlsListener();

  const QSslCertificate& certificate() const { return certificate_; }
  // Connections whose handshake completed / failed so far.
  int handshakes() const { return handshakes_; }
  int failed_handshakes() const { return failed_handshakes_; }

 protected:
  void incomingConnection(qintptr descriptor) override;

 private:
  QSslCertificate certificate_;
  QSslKey key_;
  int handshakes_ = 0;
  int failed_handshakes_ = 0;
};

}  // namespace tarvo::test
