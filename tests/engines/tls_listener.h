#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>

namespace tarvo::test {

// A listening socket whose connections speak TLS with a certificate for 127.0.0.1
// from a test authority nobody trusts, made when it is created; hand it to
// TestHttpServer to serve https. Every
// connection is encrypted before the server reads from it; a client that refuses
// the certificate ends the handshake, and the server never hears a request.
// Threads: GUI thread (the test's event loop).
class TlsListener : public QTcpServer {
  Q_OBJECT
 public:
  TlsListener();

 protected:
  void incomingConnection(qintptr descriptor) override;

 private:
  QSslCertificate certificate_;
  QSslKey key_;
};

}  // namespace tarvo::test
