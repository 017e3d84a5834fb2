#include "engines/counting_proxy.h"

#include <QTcpSocket>
#include <QUrl>
#include <memory>

#include "engines/http_request_reader.h"

namespace tarvo::test {

CountingProxy::CountingProxy() {
  connect(&server_, &QTcpServer::newConnection, this, &CountingProxy::Accept);
  server_.listen(QHostAddress::LocalHost, 0);
}

void CountingProxy::RequireCredentials(const QByteArray& user, const QByteArray& password) {
  expected_credentials_ = (user + ":" + password).toBase64();
}

void CountingProxy::Accept() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    auto reader = std::make_shared<HttpRequestReader>();
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, reader] {
      reader->Feed(socket->readAll());
      while (auto request = reader->Next()) {
        const QUrl url(QString::fromLatin1(request->target));
        const QByteArray host = url.host().toLatin1();
        if (!expected_credentials_.isEmpty() &&
            request->Header("proxy-authorization") != "Basic " + expected_credentials_) {
          ++challenges_;
          socket->write(
              "HTTP/1.1 407 Proxy Authentication Required\r\n"
              "Proxy-Authenticate: Basic realm=\"tarvo-vpn\"\r\n"
              "Content-Length: 0\r\n\r\n");
          continue;
        }
        counts_[host] += 1;
        ++total_;
        const QByteArray body = "<html><head><title>via proxy " + host + "</title></head><body>proxied " +
                                url.path().toLatin1() + "</body></html>";
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nCache-Control: no-store\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
      }
    });
  }
}

}  // namespace tarvo::test
