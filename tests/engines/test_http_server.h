#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QTcpServer>
#include <memory>

#include "engines/http_request_reader.h"

namespace tarvo::test {

// A loopback HTTP server for engine tests: fixed answers per path, files from a
// folder for the rest, slow bodies sent in timed chunks, and a record of every
// request with its headers.
// Threads: GUI thread (it runs on the test's event loop).
class TestHttpServer : public QObject {
  Q_OBJECT
 public:
  struct Response {
    int status = 200;
    QByteArray content_type = "text/html; charset=utf-8";
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers;  // extra headers (Location, Set-Cookie ...)
    int chunk_size = 0;         // > 0: the body goes out in chunks of this size ...
    int chunk_interval_ms = 0;  // ... this far apart
    // > 0: the first answer for this address closes the connection after this many
    // bytes of a slow body (a server that gave up on a slow client); later ones
    // are whole.
    int cut_first_after = 0;
  };

  // Serves files of `folder` for paths without a fixed answer, on a plain socket
  // or on the listener given (a TlsListener serves https).
  explicit TestHttpServer(QString folder = QString(), std::unique_ptr<QTcpServer> listener = nullptr);

  bool listening() const { return listener_->isListening(); }
  quint16 port() const { return listener_->serverPort(); }
  // "http://127.0.0.1:<port>" + path ("https://" over TLS).
  QString Url(const QString& path) const;

  void Route(const QByteArray& path, Response response) { routes_[path] = std::move(response); }
  // Answers path with a redirect to location.
  void Redirect(const QByteArray& path, const QByteArray& location, int status = 302);

  const QList<HttpRequest>& requests() const { return requests_; }
  int CountFor(const QByteArray& path) const;
  // The header of the last request for path, or empty.
  QByteArray LastHeader(const QByteArray& path, const QByteArray& name) const;

 private:
  void Accept();
  void Answer(QTcpSocket* socket, const HttpRequest& request);
  Response ResponseFor(const QByteArray& path) const;

  std::unique_ptr<QTcpServer> listener_;
  QString folder_;
  QMap<QByteArray, Response> routes_;
  QSet<QByteArray> cut_targets_;  // answers already cut off once
  QList<HttpRequest> requests_;
};

}  // namespace tarvo::test
