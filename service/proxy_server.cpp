#include "proxy_server.h"

#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>

#include "field_values.h"
#include "proxy_protocol.h"
#include "proxy_request_head.h"
#include "service_error.h"
#include "socket_address.h"

namespace tarvo::service {

namespace {

constexpr size_t kMaxHeadBytes = 32 * 1024;
constexpr size_t kMaxHeaderLines = 100;
constexpr std::chrono::seconds kHeadDeadline{10};
constexpr int kClientReadTimeoutSeconds = 30;
constexpr int kConnectTimeoutMs = 5000;
constexpr std::chrono::seconds kIdleTimeout{60};
constexpr std::chrono::seconds kLinger{2};  // in all, after a final reply

std::string SimpleReply(int status, std::string_view reason, std::string_view extraHeaders = {}) {
  const std::string body = std::to_string(status) + " " + std::string(reason) + "\n";
  return "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) + "\r\n" + std::string(extraHeaders) +
         "Content-Type: text/plain; charset=utf-8\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

// Sends a final reply and reads (and drops) what the client still sends for a short
// while before closing: closing with unread input would reset the connection and
// could destroy the reply before the client reads it.
void ReplyAndLinger(const TcpConnection& client, const std::string& reply) {
  if (!client.WriteAll(reply)) {
    return;
  }
  client.ShutdownWrite();
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + kLinger;
  char sink[16 * 1024];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd readable{client.fd(), POLLIN, 0};
    if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) != 1 ||
        client.Discard(sink, sizeof(sink)) <= 0) {
      return;
    }
  }
}

std::string AuthenticationRequired() {
  return SimpleReply(407, "Proxy Authentication Required", "Proxy-Authenticate: Basic realm=\"tarvo\"\r\n");
}

// Whether the bytes so far hold a whole request head the proxy will look at.
ConnectionGate::Verdict CheckHead(std::string_view received) {
  using Kind = ConnectionGate::Verdict::Kind;
  const size_t end = received.find("\r\n\r\n");
  if (end == std::string_view::npos) {
    if (received.size() > kMaxHeadBytes) {
      return {Kind::kRefuse, SimpleReply(431, "Request Header Fields Too Large")};
    }
    return {};
  }
  const std::string_view head = received.substr(0, end);
  size_t lines = 0;
  for (size_t at = head.find("\r\n"); at != std::string_view::npos; at = head.find("\r\n", at + 2)) {
    ++lines;
  }
  if (end > kMaxHeadBytes || lines > kMaxHeaderLines) {
    return {Kind::kRefuse, SimpleReply(431, "Request Header Fields Too Large")};
  }
  if (!ProxyRequestHead::Parse(head)) {
    return {Kind::kRefuse, SimpleReply(400, "Bad Request")};
  }
  return {Kind::kComplete};
}

}  // namespace

ProxyServer::ProxyServer(int64_t nodeId, std::string listenAddress, int port, Admission admits,
                         const ProxyDestinations& destinations, ProxiedClients& proxied, bool namesClients)
    : nodeId_(nodeId),
      listenAddress_(std::move(listenAddress)),
      port_(port),
      admits_(std::move(admits)),
      destinations_(destinations),
      proxied_(proxied),
      namesClients_(namesClients) {}

ProxyServer::~ProxyServer() { Stop(); }

int ProxyServer::Start() {
  const int listenFd = BindListener(listenAddress_, port_);
  if (listenFd < 0) {
    throw ServiceError("cannot run the proxy of node " + std::to_string(nodeId_) + " on " + listenAddress_ + ":" +
                       std::to_string(port_) + ": " + std::strerror(errno));
  }
  port_ = BoundPort(listenFd);
  ConnectionGate::Limits limits;
  limits.maxRequestBytes = kMaxHeadBytes + 4;
  limits.deadline = kHeadDeadline;
  gate_ = std::make_unique<ConnectionGate>(
      limits, CheckHead,
      [this](TcpConnection connection, const std::string& peer, const std::optional<std::string>&,
             std::string received, size_t) { Admit(std::move(connection), peer, std::move(received)); },
      ConnectionGate::Replies{SimpleReply(408, "Request Timeout"), SimpleReply(431, "Request Header Fields Too Large")});
  gate_->Listen(listenFd);
  refusals_.Start();
  gate_->Start();
  return port_;
}

void ProxyServer::Stop() {
  if (!gate_ || stopped_) {
    return;
  }
  stopped_ = true;
  stopping_ = true;
  gate_->Stop();
  std::lock_guard lock(clientsMutex_);
  for (const auto& client : clients_) {
    client->connection.Shutdown();
  }
  for (const auto& client : clients_) {
    client->thread.join();
  }
  clients_.clear();
  refusals_.Stop();
}

ProxyCounts ProxyServer::Counts() const {
  return ProxyCounts{requests_.load(),         tunnels_.load(),     authRefused_.load(), destinationRefused_.load(),
                     upstreamFailures_.load(), unavailable_.load(), closedMidway_.load()};
}

void ProxyServer::ReapFinished() {
  for (auto it = clients_.begin(); it != clients_.end();) {
    if ((*it)->finished) {
      (*it)->thread.join();
      it = clients_.erase(it);
    } else {
      ++it;
    }
  }
}

void ProxyServer::Admit(TcpConnection connection, const std::string& peer, std::string received) {
  const auto head = ProxyRequestHead::Parse(std::string_view(received).substr(0, received.find("\r\n\r\n")));
  const auto credentials = head ? head->BasicCredentials() : std::nullopt;
  bool admitted = false;
  try {
    admitted = credentials && Admits(credentials->first, credentials->second);
  } catch (const std::exception&) {
    // The access check failed (a database error, say): this client is told to
    // come back later; everyone else goes on being served.
    ++unavailable_;
    Refuse(std::move(connection), peer, SimpleReply(503, "Service Unavailable"));
    return;
  }
  if (!admitted) {
    ++authRefused_;
    Refuse(std::move(connection), peer, AuthenticationRequired());
    return;
  }
  std::lock_guard lock(clientsMutex_);
  ReapFinished();
  auto slot = perAddress_.Take(peer);
  auto tokenSlot = perToken_.TakeKey(credentials->second);
  if (clients_.size() >= kMaxClients || !slot || !tokenSlot) {
    ++unavailable_;
    Refuse(std::move(connection), peer, SimpleReply(503, "Service Unavailable"));
    return;
  }
  // The client's own thread waits on the connection, within the time-outs.
  connection.MakeBlocking();
  connection.SetSendTimeout(kSendTimeoutSeconds);
  auto client = std::make_unique<Client>();
  client->connection = std::move(connection);
  client->slot = std::move(*slot);
  client->tokenSlot = std::move(*tokenSlot);
  Client* raw = client.get();
  try {
    client->thread = std::thread([this, raw, peer, credentials = *credentials, received = std::move(received)] {
      try {
        Serve(raw->connection, peer, credentials, received);
      } catch (const std::exception&) {
        ++unavailable_;
        ReplyAndLinger(raw->connection, SimpleReply(503, "Service Unavailable"));
      }
      raw->connection.Shutdown();  // the client sees the end now, not when the thread is reaped
      raw->finished = true;
    });
  } catch (const std::system_error&) {
    ++unavailable_;
    Refuse(std::move(client->connection), peer, SimpleReply(503, "Service Unavailable"));
    return;
  }
  clients_.push_back(std::move(client));
}

void ProxyServer::Refuse(TcpConnection connection, const std::string& peer, const std::string& reply) {
  OutgoingReply refusal(std::move(connection), reply);
  refusal.LingerAfterwards();
  refusals_.Send(std::move(refusal), peer);
}

bool ProxyServer::Admits(std::string_view user, std::string_view token) { return admits_(user, token); }

void ProxyServer::Serve(const TcpConnection& client, const std::string& peer, const Credentials& credentials,
                        const std::string& received) {
  const size_t headEnd = received.find("\r\n\r\n");
  const auto head = ProxyRequestHead::Parse(std::string_view(received).substr(0, headEnd));
  auto lastCheck = std::chrono::steady_clock::now();
  const std::function<bool()> stillAdmitted = [&] {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastCheck < kRecheckInterval) {
      return true;
    }
    lastCheck = now;
    try {
      return Admits(credentials.first, credentials.second);
    } catch (const std::exception&) {
      return false;
    }
  };
  const auto destination = destinations_.Resolve(head->host(), head->port());
  if (!destination) {
    ++destinationRefused_;
    ReplyAndLinger(client, SimpleReply(403, "Forbidden"));
    return;
  }
  const std::string_view pending = std::string_view(received).substr(headEnd + 4);
  if (!head->IsConnect()) {
    Forward(client, peer, *head, *destination, pending, stillAdmitted);
    return;
  }
  ScopedRelease noted;
  auto upstream = ConnectFor(client, peer, *destination, noted);
  if (!upstream) {
    ++upstreamFailures_;
    ReplyAndLinger(client, SimpleReply(502, "Bad Gateway"));
    return;
  }
  ++tunnels_;
  if (!client.WriteAll("HTTP/1.1 200 Connection Established\r\n\r\n") ||
      (!pending.empty() && !upstream->WriteAll(pending))) {
    return;
  }
  Relay(client, *upstream, true, stillAdmitted);
}

std::optional<TcpConnection> ProxyServer::ConnectFor(const TcpConnection& client, const std::string& peer,
                                                     const ProxyDestinations::Destination& destination,
                                                     ScopedRelease& noted) {
  auto upstream = TcpConnection::Connect(destination.address.ip, destination.address.port, kConnectTimeoutMs);
  if (!upstream) {
    return std::nullopt;
  }
  upstream->SetSendTimeout(kSendTimeoutSeconds);
  if (namesClients_ && destination.own) {
    NodeAddress from = PeerAddress(client.fd());
    from.ip = peer;
    if (!upstream->WriteAll(ProxyProtocol::Header(from, LocalAddress(client.fd())))) {
      return std::nullopt;
    }
  } else {
    noted = proxied_.Note(*upstream, peer);
  }
  return upstream;
}

void ProxyServer::Forward(const TcpConnection& client, const std::string& peer, const ProxyRequestHead& head,
                          const ProxyDestinations::Destination& destination, std::string_view body,
                          const std::function<bool()>& stillAdmitted) {
  if (head.Header("Transfer-Encoding")) {
    ReplyAndLinger(client, SimpleReply(411, "Length Required"));
    return;
  }
  const auto length = ParseInteger(head.Header("Content-Length").value_or("0"));
  if (!length || *length < 0) {
    ReplyAndLinger(client, SimpleReply(400, "Bad Request"));
    return;
  }
  ScopedRelease noted;
  auto upstream = ConnectFor(client, peer, destination, noted);
  if (!upstream) {
    ++upstreamFailures_;
    ReplyAndLinger(client, SimpleReply(502, "Bad Gateway"));
    return;
  }
  ++requests_;
  // Only this request's own body goes on; anything after it is not forwarded.
  auto remaining = static_cast<uint64_t>(*length);
  const std::string_view first = body.substr(0, static_cast<size_t>(std::min<uint64_t>(remaining, body.size())));
  if (!upstream->WriteAll(head.ForwardedHead()) || !upstream->WriteAll(first)) {
    return;
  }
  remaining -= first.size();
  client.SetReadTimeout(kClientReadTimeoutSeconds);
  char chunk[16 * 1024];
  while (remaining > 0) {
    const long received = client.ReadSome(chunk, static_cast<size_t>(std::min<uint64_t>(remaining, sizeof(chunk))));
    if (received <= 0 || !upstream->WriteAll(std::string_view(chunk, static_cast<size_t>(received)))) {
      return;
    }
    remaining -= static_cast<uint64_t>(received);
  }
  Relay(client, *upstream, false, stillAdmitted);
  ReplyAndLinger(client, std::string());  // the answer is out; unread bytes must not reset it
}

void ProxyServer::Relay(const TcpConnection& client, const TcpConnection& upstream, bool fromClient,
                        const std::function<bool()>& stillAdmitted) {
  constexpr int kPollMs = static_cast<int>(kRecheckInterval.count() / 2);
  char chunk[64 * 1024];
  bool clientOpen = true;
  auto lastData = std::chrono::steady_clock::now();
  for (;;) {
    if (stopping_) {
      return;
    }
    if (!stillAdmitted()) {
      ++closedMidway_;
      return;
    }
    if (std::chrono::steady_clock::now() - lastData > kIdleTimeout) {
      return;
    }
    pollfd fds[2] = {{upstream.fd(), POLLIN, 0}, {clientOpen ? client.fd() : -1, POLLIN, 0}};
    const int ready = ::poll(fds, 2, kPollMs);
    if (ready < 0 && errno != EINTR) {
      return;
    }
    if (ready <= 0) {
      continue;
    }
    lastData = std::chrono::steady_clock::now();
    if (fds[1].revents != 0) {
      const long received = client.ReadSome(chunk, sizeof(chunk));
      if (received <= 0 && !fromClient) {
        return;  // the client left before the answer was whole
      }
      if (received <= 0) {
        clientOpen = false;
        upstream.ShutdownWrite();
      } else if (fromClient && !upstream.WriteAll(std::string_view(chunk, static_cast<size_t>(received)))) {
        return;
      }
    }
    if (fds[0].revents != 0) {
      const long received = upstream.ReadSome(chunk, sizeof(chunk));
      if (received <= 0 || !client.WriteAll(std::string_view(chunk, static_cast<size_t>(received)))) {
        return;
      }
    }
  }
}

}  // namespace tarvo::service
