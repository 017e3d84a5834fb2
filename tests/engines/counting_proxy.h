#pragma once

#include <QByteArray>
#include <QMap>
#include <QTcpServer>

namespace tarvo::test {

// A loopback HTTP proxy that answers every request itself (it forwards nothing):
// it counts the requests per host, can demand Basic credentials with 407, and
// answers with a page titled "via proxy <host>" so tests can tell where a page
// came from.
// Threads: GUI thread (it runs on the test's event loop).
class CountingProxy : public QObject {
  Q_OBJECT
 public:
  CountingProxy();

  quint16 port() const { return server_.serverPort(); }
  // Requests that carry no or other credentials get 407 from now on.
  void RequireCredentials(const QByteArray& user, const QByteArray& password);

  int CountFor(const QByteArray& host) const { return counts_.value(host); }
  int total() const { return total_; }
  int challenges() const { return challenges_; }

 private:
  void Accept();

  QTcpServer server_;
  QByteArray expected_credentials_;  // base64 "user:password"; empty: none needed
  QMap<QByteArray, int> counts_;
  int total_ = 0;
  int challenges_ = 0;
};

}  // namespace tarvo::test
