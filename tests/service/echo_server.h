#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace tarvo::service::test {

// A loopback server standing for a destination behind a proxy: it answers every
// connection (one at a time) by sending back what it receives, and keeps a copy
// of all it received. The destructor ends it.
// Threads: its own accept thread; `received` may be read from any thread.
class EchoServer {
 public:
  EchoServer();
  ~EchoServer();
  EchoServer(const EchoServer&) = delete;
  EchoServer& operator=(const EchoServer&) = delete;

  // "127.0.0.1:<port>", as --proxy-allow takes it.
  std::string Destination() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string received() const;

 private:
  void Run();

  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::string received_;  // guarded by mutex_
  std::thread thread_;
};

}  // namespace tarvo::service::test
