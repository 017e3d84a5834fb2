#include "engines/test_http_server.h"

#include "engines/tls_listener.h"

#include <QFile>
#include <QMimeDatabase>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <memory>

namespace tarvo::test {

namespace {
QByteArray ReasonOf(int status) {
  switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 206: return "Partial Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 404: return "Not Found";
    case 407: return "Proxy Authentication Required";
    default: return "Status";
  }
}
}  // namespace

TestHttpServer::TestHttpServer(QString folder, std::unique_ptr<QTcpServer> listener)
    : listener_(listener != nullptr ? std::move(listener) : std::make_unique<QTcpServer>()), folder_(std::move(folder)) {
  connect(listener_.get(), &QTcpServer::newConnection, this, &TestHttpServer::Accept);
  listener_->listen(QHostAddress::LocalHost, 0);
}

QString TestHttpServer::Url(const QString& path) const {
  const bool tls = qobject_cast<const TlsListener*>(listener_.get()) != nullptr;
  return QStringLiteral("%1://127.0.0.1:%2%3").arg(tls ? "https" : "http").arg(port()).arg(path);
}

void TestHttpServer::Redirect(const QByteArray& path, const QByteArray& location, int status) {
  Response response;
  response.status = status;
  response.headers.append({"Location", location});
  Route(path, response);
}

int TestHttpServer::CountFor(const QByteArray& path) const {
  int count = 0;
  for (const HttpRequest& request : requests_) {
    count += request.target == path ? 1 : 0;
  }
  return count;
}

QByteArray TestHttpServer::LastHeader(const QByteArray& path, const QByteArray& name) const {
  for (auto it = requests_.crbegin(); it != requests_.crend(); ++it) {
    if (it->target == path) {
      return it->Header(name);
    }
  }
  return QByteArray();
}

void TestHttpServer::Accept() {
  while (QTcpSocket* socket = listener_->nextPendingConnection()) {
    auto reader = std::make_shared<HttpRequestReader>();
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, reader] {
      reader->Feed(socket->readAll());
      while (auto request = reader->Next()) {
        requests_.append(*request);
        Answer(socket, *request);
      }
    });
  }
}

TestHttpServer::Response TestHttpServer::ResponseFor(const QByteArray& target) const {
  const QByteArray path = target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
  if (routes_.contains(target)) {
    return routes_.value(target);
  }
  if (routes_.contains(path)) {
    return routes_.value(path);
  }
  Response response;
  QFile file(folder_ + QUrl::fromPercentEncoding(path));
  if (folder_.isEmpty() || path.contains("..") || !file.open(QIODevice::ReadOnly)) {
    response.status = 404;
    response.body = "<html><head><title>missing</title></head><body>not found</body></html>";
    return response;
  }
  response.body = file.readAll();
  response.content_type = QMimeDatabase().mimeTypeForFile(file.fileName()).name().toUtf8();
  if (response.content_type.startsWith("text/")) {
    response.content_type += "; charset=utf-8";
  }
  return response;
}

void TestHttpServer::Answer(QTcpSocket* socket, const HttpRequest& request) {
  Response response = ResponseFor(request.target);
  if (response.cut_first_after > 0) {
    response.cut_first_after = cut_targets_.contains(request.target) ? 0 : response.cut_first_after;
    cut_targets_.insert(request.target);
  }
  const QByteArray range = request.Header("range");
  if (response.status == 200 && range.startsWith("bytes=") && range.endsWith('-')) {
    // Resumed downloads ask for the rest of the body.
    const int from = range.mid(6, range.size() - 7).toInt();
    const int size = response.body.size();
    if (from > 0 && from < size) {
      response.status = 206;
      response.headers.append(qMakePair(QByteArray("Content-Range"), "bytes " + QByteArray::number(from) + "-" +
                                                                          QByteArray::number(size - 1) + "/" +
                                                                          QByteArray::number(size)));
      response.body = response.body.mid(from);
    }
  }
  QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " " + ReasonOf(response.status) + "\r\n";
  head += "Content-Type: " + response.content_type + "\r\n";
  head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
  head += "Cache-Control: no-store\r\n";
  for (const auto& [name, value] : response.headers) {
    head += name + ": " + value + "\r\n";
  }
  head += "\r\n";
  socket->write(head);
  if (response.chunk_size <= 0 || request.method == "HEAD") {
    if (request.method != "HEAD") {
      socket->write(response.body);
    }
    return;
  }
  // Slow body: one chunk per tick, so a client can pause or cancel half-way.
  auto* timer = new QTimer(socket);
  auto offset = std::make_shared<int>(0);
  QPointer<QTcpSocket> guard(socket);
  const int end = response.cut_first_after > 0 ? std::min(response.cut_first_after, int(response.body.size()))
                                                : int(response.body.size());
  connect(timer, &QTimer::timeout, socket, [guard, timer, offset, response, end] {
    if (guard.isNull() || guard->state() != QAbstractSocket::ConnectedState) {
      timer->stop();
      return;
    }
    guard->write(response.body.mid(*offset, std::min(response.chunk_size, end - *offset)));
    *offset += response.chunk_size;
    if (*offset >= end) {
      timer->stop();
      if (end < response.body.size()) {
        guard->disconnectFromHost();
      }
    }
  });
  timer->start(response.chunk_interval_ms);
}

}  // namespace tarvo::test
