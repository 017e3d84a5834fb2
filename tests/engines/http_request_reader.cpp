#include "engines/http_request_reader.h"

#include <QList>

namespace tarvo::test {

std::optional<HttpRequest> HttpRequestReader::Next() {
  const int end = buffer_.indexOf("\r\n\r\n");
  if (end < 0) {
    return std::nullopt;
  }
  const QList<QByteArray> lines = buffer_.left(end).split('\n');
  HttpRequest request;
  const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
  request.method = first.value(0);
  request.target = first.value(1);
  for (int i = 1; i < lines.size(); ++i) {
    const int colon = lines[i].indexOf(':');
    if (colon > 0) {
      request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
  }
  const int length = request.Header("content-length").toInt();
  if (buffer_.size() < end + 4 + length) {
    return std::nullopt;
  }
  request.body = buffer_.mid(end + 4, length);
  buffer_.remove(0, end + 4 + length);
  return request;
}

}  // namespace tarvo::test
