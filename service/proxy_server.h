#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "node_addresses.h"
#include "tcp_connection.h"

namespace tarvo::service {

// What one proxy has done since it started.
struct ProxyCounts {
  uint64_t requests = 0;            // plain requests forwarded
  uint64_t tunnels = 0;             // CONNECT tunnels opened
  uint64_t authRefused = 0;         // answered 407
  uint64_t destinationRefused = 0;  // answered 403: not loopback, not the test domain
  uint64_t upstreamFailures = 0;    // answered 502: destination did not answer
};

// The HTTP proxy of one VPN node, on a loopback port: plain requests and CONNECT
// tunnels, each demanding "Proxy-Authorization: Basic" with a user id (or "nobody")
// and the proxy token of an open connection on this node, and answering 407
// otherwise.
//
// It never reaches beyond the machine: host names of the test domain ("tarvo.test"
// and its sub-domains) go to the service's own HTTP front, which serves their pages;
// loopback addresses go where they name; everything else is refused with 403.
// Browsers never send loopback addresses through a proxy, hence the test domain.
//
// Threads: Start and Stop on the owner's thread; one accept thread plus one thread
// per client connection (at most kMaxClients; more are answered 503). `clientsMutex_`
// guards the client list; the counters are atomic.
class ProxyServer {
 public:
  // True when user and token may use this node's proxy right now. Any thread.
  using Admission = std::function<bool(std::string_view user, std::string_view proxyToken)>;

  static constexpr size_t kMaxClients = 128;

  // `front` is where test-domain requests go.
  ProxyServer(int64_t nodeId, std::string listenAddress, int port, Admission admits, NodeAddress front);
  ~ProxyServer();
  ProxyServer(const ProxyServer&) = delete;
  ProxyServer& operator=(const ProxyServer&) = delete;

  // Binds and starts accepting; returns the port (a free one when constructed with
  // 0). Throws ServiceError when the address cannot be bound.
  int Start();
  // Stops accepting, ends open connections and waits for their threads. Idempotent.
  void Stop();

  int64_t nodeId() const { return nodeId_; }
  int port() const { return port_; }
  ProxyCounts Counts() const;

 private:
  // The connection stays open until the thread is joined, so Stop can shut it down
  // without touching a descriptor number the system already gave to someone else.
  struct Client {
    TcpConnection connection;
    std::thread thread;
    std::atomic<bool> finished{false};
  };

  void AcceptLoop();
  void Serve(const TcpConnection& client);
  void Tunnel(const TcpConnection& client, const TcpConnection& upstream, std::string pending);
  void ReapFinished();

  const int64_t nodeId_;
  const std::string listenAddress_;
  int port_;
  const Admission admits_;
  const NodeAddress front_;
  int listenFd_ = -1;  // owned
  std::thread acceptThread_;
  std::atomic<bool> stopping_{false};

  std::mutex clientsMutex_;
  std::list<std::unique_ptr<Client>> clients_;

  std::atomic<uint64_t> requests_{0};
  std::atomic<uint64_t> tunnels_{0};
  std::atomic<uint64_t> authRefused_{0};
  std::atomic<uint64_t> destinationRefused_{0};
  std::atomic<uint64_t> upstreamFailures_{0};
};

}  // namespace tarvo::service
