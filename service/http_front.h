#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <chrono>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "connection_gate.h"
#include "reply_sender.h"

namespace tarvo::service {

class ApiRouter;
class FrontRequest;
class ProxiedClients;
class ServedFiles;
class TcpConnection;
class TlsServerContext;

struct HttpFrontOptions {
  std::string listenAddress = "127.0.0.1";
  int port = 8360;  // 0 picks a free port
  // Form bodies are small; anything larger is refused with 413 before it is read.
  size_t maxBodyBytes = 256 * 1024;
  int threads = 8;
  // Not owned, outlives the front; null: every address speaks plain HTTP.
  const TlsServerContext* tls = nullptr;
  // Load balancers (numeric addresses) trusted to name the client in the
  // X-Forwarded-For header they add; their requests are taken as that client's.
  std::vector<std::string> trustedForwarders;
  // Relays (numeric addresses: a --proxies-only process, a balancer with
  // "send-proxy-v2") trusted to name the client in a PROXY protocol header.
  std::vector<std::string> trustedRelays;
};

// The HTTP side of the service: endpoint requests (POST "/app/...") answered with
// reply envelopes, the password-reset page, installer downloads, mirror and test
// pages, and the proxies' counters at "/status/proxies". Every request is logged as
// one line on the log stream.
//
// Served mirrors listen on their own loopback addresses (127.0.0.11 ...), on the
// same port as the main address, so each mirror has an address of its own. The
// counters at "/status/proxies" are shown to clients on loopback only. A request
// that came through one of the nodes' proxies (of this process, which notes them
// in ProxiedClients, or of another, which names its client in a PROXY header from
// a trusted relay address) is taken as its client's (logged with "via proxy",
// limited and counted by that address), never as local, and its X-Forwarded-For
// is never believed. Who sent a request is settled when the gate hands it over, so
// a request that waits for a worker keeps its client when the proxy's connection
// has closed meanwhile.
//
// With TLS the main address speaks TLS alone; the mirrors, which stand in for other
// sites, stay plain HTTP, and so does one more loopback address where the nodes'
// proxies find the test domain's pages (pagesPort). These plain addresses serve
// pages only, never the service itself.
//
// A ConnectionGate reads each request whole (a TLS handshake, head within 16 KiB
// and 100 lines, a Content-Length body within maxBodyBytes, all within
// kRequestDeadline) before a worker sees it, and a ReplySender takes each answer
// (through the connection's TLS session, if any) from the worker as far as the
// client does not take it at once, so slow, idle, flooding or unread clients hold
// no worker. An HTTP/1.1 client's connection serves again once its answer is out
// (keep-alive, no pipelining: bytes sent after a request close it after that answer):
// it goes back to the gate to wait for the next request, under the gate's caps like
// any waiting connection, silent for at most kKeepAliveIdle and for at most
// kRequestsPerConnection requests; installers and icons are sent from
// the file, at most ReplySender::Limits::perClient to one client and perPrefix to
// one network at once (more are answered 429). Logged paths have control bytes escaped.
//
// Threads: Bind, Serve and Stop are called by the owner's thread; the gate and the
// sender have their threads, requests run on a pool of `threads` workers fed
// through `jobs_` (guarded by `jobsMutex_`). The log stream is guarded by
// `logMutex_`.
class HttpFront {
 public:
  // `log` may be null (no request log); it and `proxied` must outlive this object.
  HttpFront(HttpFrontOptions options, std::ostream* log, const ProxiedClients& proxied);
  ~HttpFront();
  HttpFront(const HttpFront&) = delete;
  HttpFront& operator=(const HttpFront&) = delete;

  // Binds the main address (throws ServiceError when it cannot) and each mirror
  // address on the same port (a mirror that cannot be bound is reported on standard
  // error and left out). Returns the port.
  int Bind(const std::vector<std::string>& mirrorAddresses);

  // Starts answering and returns once every address is being served. `router` and
  // `files` must outlive Stop; `proxyStatus` returns the proxies' counters as JSON.
  void Serve(const ApiRouter& router, const ServedFiles& files, std::function<std::string()> proxyStatus);

  // Stops accepting and waits for the workers. Idempotent.
  void Stop();

  static constexpr std::chrono::seconds kRequestDeadline{10};
  // As many whole requests may wait for a worker as connections may wait in the
  // gate: a burst of hundreds of clients is answered within a fraction of a second,
  // so turning most of it away with 503 would only make every browser ask again.
  static constexpr size_t kMaxQueuedRequests = ConnectionGate::Limits{}.waiting;
  // A connection kept alive: how long it may wait silent for its next request, and
  // how many requests it brings before its answer closes it (so a client's share of
  // the workers keeps moving between its connections, and long-lived connections
  // are renewed now and then).
  static constexpr std::chrono::seconds kKeepAliveIdle{5};
  static constexpr size_t kRequestsPerConnection = 100;

  int port() const { return port_; }
  // The plain-HTTP port on 127.0.0.1 that serves the pages: port() without TLS.
  int pagesPort() const { return pagesPort_; }
  const std::string& listenAddress() const { return options_.listenAddress; }

 private:
  struct Job;
  struct Answer;

  void Enqueue(TcpConnection connection, const std::string& peer, const std::optional<std::string>& relayed,
               std::string received, size_t answered);
  void Work();
  void Handle(Job job);
  bool IsTrustedForwarder(const std::string& peer) const;
  // `viaProxy`: the request came through one of the nodes' proxies; `secure`: over TLS.
  Answer Route(const FrontRequest& request, bool viaProxy, bool secure) const;
  Answer AnswerPage(const FrontRequest& request) const;
  Answer AnswerApi(const FrontRequest& request) const;
  void Log(const std::string& client, bool viaProxy, const std::string& method, const std::string& path,
           const Answer& answer);

  const HttpFrontOptions options_;
  std::ostream* const log_;  // not owned
  const ProxiedClients& proxied_;
  std::mutex logMutex_;
  int port_ = 0;
  int pagesPort_ = 0;
  std::vector<int> listenFds_;  // handed to the gate by Serve; the first is the main address
  std::unique_ptr<ConnectionGate> gate_;
  ReplySender sender_{ReplySender::Limits{}};
  const ApiRouter* router_ = nullptr;       // set by Serve
  const ServedFiles* files_ = nullptr;      // set by Serve
  std::function<std::string()> proxyStatus_;
  std::mutex jobsMutex_;
  std::condition_variable jobsReady_;
  std::deque<Job> jobs_;  // guarded by jobsMutex_
  bool stopping_ = false;  // guarded by jobsMutex_
  std::vector<std::thread> workers_;
};

}  // namespace tarvo::service
