#pragma once

#include <openssl/ssl.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_credentials.h"

namespace tarvo::test {

// An HTTP/1.1 server on 127.0.0.1 that keeps its connections open and answers every
// request ("ok", its own proxy requests included) on the connection it came on, over
// TLS with a certificate of a test authority when asked. Counts the connections it
// accepted and, over TLS, the handshakes that resumed a session. A thread per
// connection; everything ends with the object.
class KeepAliveServer {
 public:
  explicit KeepAliveServer(bool tls);
  ~KeepAliveServer();
  KeepAliveServer(const KeepAliveServer&) = delete;
  KeepAliveServer& operator=(const KeepAliveServer&) = delete;

  uint16_t port() const { return port_; }
  // The authority that signed the certificate (a PEM file).
  std::string caFile() const { return credentials_.caFile(); }
  int accepted() const { return accepted_; }
  int resumed() const { return resumed_; }

 private:
  void Accept();
  void Serve(int fd);

  TempDir folder_;
  TestCredentials credentials_{folder_.path()};
  SSL_CTX* tls_ = nullptr;  // owned; null: plain HTTP
  int listenFd_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> accepted_{0};
  std::atomic<int> resumed_{0};
  std::mutex mutex_;
  std::vector<int> connections_;         // guarded by mutex_
  std::vector<std::thread> servers_;     // guarded by mutex_
  std::thread acceptor_;
};

}  // namespace tarvo::test
