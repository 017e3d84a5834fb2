#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "support/temp_dir.h"
#include "support/test_credentials.h"

namespace tarvo::test {

// A TLS server on 127.0.0.1 with a certificate from a test authority nobody trusts. It accepts
// one connection, runs the handshake and answers "HTTP/1.1 200" if the handshake
// succeeds. Tells whether a client started a handshake and whether it completed.
class TlsTestServer {
 public:
  TlsTestServer();
  ~TlsTestServer();
  TlsTestServer(const TlsTestServer&) = delete;
  TlsTestServer& operator=(const TlsTestServer&) = delete;

  uint16_t port() const { return port_; }
  // Waits for the one connection to be handled (at most a few seconds).
  void Wait();
  bool sawClientHello() const { return sawClientHello_; }
  bool handshakeCompleted() const { return handshakeCompleted_; }

 private:
  void Serve();

  TempDir folder_;
  TestCredentials credentials_{folder_.path()};
  int listenFd_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> sawClientHello_ = false;
  std::atomic<bool> handshakeCompleted_ = false;
  std::thread thread_;
};

}  // namespace tarvo::test
