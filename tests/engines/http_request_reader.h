#pragma once

#include <QByteArray>
#include <QMap>
#include <optional>

namespace tarvo::test {

// One HTTP/1.1 request read off a connection.
struct HttpRequest {
  QByteArray method;
  QByteArray target;  // as sent: a path, or an absolute URL when sent to a proxy
  QMap<QByteArray, QByteArray> headers;  // names in lower case
  QByteArray body;

  QByteArray Header(const QByteArray& name) const { return headers.value(name.toLower()); }
};

// Splits a connection's incoming bytes into requests (keep-alive connections carry
// several). Threads: one thread.
class HttpRequestReader {
 public:
  // Adds received bytes.
  void Feed(const QByteArray& bytes) { buffer_ += bytes; }
  // The next complete request, or nullopt until more bytes arrive.
  std::optional<HttpRequest> Next();

 private:
  QByteArray buffer_;
};

}  // namespace tarvo::test
