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

#include "client_slots.h"
#include "connection_gate.h"
#include "proxied_clients.h"
#include "proxy_destinations.h"
#include "reply_sender.h"
#include "tcp_connection.h"

namespace tarvo::service {

class ProxyRequestHead;

// What one proxy has done since it started.
struct ProxyCounts {
  uint64_t requests = 0;            // plain requests forwarded
  uint64_t tunnels = 0;             // CONNECT tunnels opened
  uint64_t authRefused = 0;         // answered 407
  uint64_t destinationRefused = 0;  // answered 403: not on the allow-list
  uint64_t upstreamFailures = 0;    // answered 502: destination did not answer
  uint64_t unavailable = 0;         // answered 503: busy, or the access check failed
  uint64_t closedMidway = 0;        // transfers ended because the connection was closed or ran out
};

// The HTTP proxy of one VPN node, on a loopback port: plain requests and CONNECT
// tunnels, each demanding "Proxy-Authorization: Basic" with a user id (or "nobody")
// and the proxy token of an open connection on this node, and answering 407
// otherwise. Destinations are the ProxyDestinations' to decide (403 for the rest).
//
// A client's request head is awaited by a ConnectionGate, and its credentials are
// checked as soon as it is whole, on the gate's thread: idle, slow and refused
// clients hold no thread. A refusal goes out through a ReplySender, which reads
// what the client still sends for a short while before closing (a refused client
// that keeps sending is cut off then). A thread per client starts only for
// admitted clients (at most kMaxClients at once, kMaxClientsPerAddress from one
// client, kMaxClientsPerPrefix from one network and kMaxClientsPerToken on one
// connection's credentials; more are answered 503), so filling a node takes
// sixteen networks, not four clients or four addresses sharing one token. A plain request is forwarded alone, without the
// proxy's own headers, and the connection closes after its answer; bytes the
// client sent after it are not forwarded. While a transfer runs, the connection's
// credentials are checked again every kRecheckInterval, and the transfer ends once
// they no longer admit it (cancelled, logged out, time used up). Sends to either
// side give up after kSendTimeoutSeconds.
//
// Threads: Start and Stop on the owner's thread; the gate's and the sender's
// threads, plus one thread per client. `clientsMutex_` guards the client list; the
// counters are atomic. The admission function may throw: the client is then
// answered 503 and the proxy goes on.
class ProxyServer {
 public:
  // True when user and token may use this node's proxy right now. Any thread.
  using Admission = std::function<bool(std::string_view user, std::string_view proxyToken)>;

  static constexpr size_t kMaxClients = 1024;
  // As many connections as a browser opens to one proxy.
  static constexpr size_t kMaxClientsPerAddress = 32;
  // Two browsers' worth per /24 or /56 (PrefixKey), and one browser's worth per
  // proxy token, however many addresses share it.
  static constexpr size_t kMaxClientsPerPrefix = 64;
  static constexpr size_t kMaxClientsPerToken = 32;
  static constexpr std::chrono::milliseconds kRecheckInterval{500};
  static constexpr int kSendTimeoutSeconds = 30;

  // `destinations` and `proxied` must outlive this object; every connection the
  // proxy opens is noted in `proxied` with its client's address. With
  // `namesClients` (a --proxies-only process, whose front is another process's),
  // a connection to the service's own front or mirrors begins with a PROXY
  // protocol header naming the client instead.
  ProxyServer(int64_t nodeId, std::string listenAddress, int port, Admission admits,
              const ProxyDestinations& destinations, ProxiedClients& proxied, bool namesClients = false);
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
    ClientSlots::Slot slot;
    ClientSlots::Slot tokenSlot;
    std::thread thread;
    std::atomic<bool> finished{false};
  };
  using Credentials = std::pair<std::string, std::string>;

  void Admit(TcpConnection connection, const std::string& peer, std::string received);
  void Refuse(TcpConnection connection, const std::string& peer, const std::string& reply);
  void Serve(const TcpConnection& client, const std::string& peer, const Credentials& credentials,
             const std::string& received);
  void Forward(const TcpConnection& client, const std::string& peer, const ProxyRequestHead& head,
               const ProxyDestinations::Destination& destination, std::string_view body,
               const std::function<bool()>& stillAdmitted);
  // Connects to `destination` on behalf of `client` and says who the client is:
  // noted in `proxied_`, or in a PROXY header when the front is another process's.
  // `noted` holds the note until the connection closes.
  std::optional<TcpConnection> ConnectFor(const TcpConnection& client, const std::string& peer,
                                          const ProxyDestinations::Destination& destination, ScopedRelease& noted);
  // Carries the destination's bytes to the client, and the client's to the
  // destination when `fromClient` (a tunnel; otherwise they are dropped), until
  // either side ends, the credentials stop admitting, or nothing moves for a while.
  void Relay(const TcpConnection& client, const TcpConnection& upstream, bool fromClient,
             const std::function<bool()>& stillAdmitted);
  bool Admits(std::string_view user, std::string_view token);
  void ReapFinished();

  const int64_t nodeId_;
  const std::string listenAddress_;
  int port_;
  const Admission admits_;
  const ProxyDestinations& destinations_;
  ProxiedClients& proxied_;
  const bool namesClients_;
  std::unique_ptr<ConnectionGate> gate_;
  ReplySender refusals_{ReplySender::Limits{}};
  bool stopped_ = false;
  // Set by Stop: every transfer ends within a poll, also one whose client has
  // half-closed and whose destination stays silent.
  std::atomic<bool> stopping_{false};

  ClientSlots perAddress_{ClientSlots::Caps{kMaxClientsPerAddress, kMaxClientsPerPrefix}};
  ClientSlots perToken_{ClientSlots::Caps{kMaxClientsPerToken}};
  std::mutex clientsMutex_;
  std::list<std::unique_ptr<Client>> clients_;

  std::atomic<uint64_t> requests_{0};
  std::atomic<uint64_t> tunnels_{0};
  std::atomic<uint64_t> authRefused_{0};
  std::atomic<uint64_t> destinationRefused_{0};
  std::atomic<uint64_t> upstreamFailures_{0};
  std::atomic<uint64_t> unavailable_{0};
  std::atomic<uint64_t> closedMidway_{0};
};

}  // namespace tarvo::service
