#include "proxy_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "proxy_request_head.h"
#include "service_error.h"
#include "socket_address.h"

namespace tarvo::service {

namespace {

constexpr size_t kMaxHeadBytes = 32 * 1024;
constexpr int kClientReadTimeoutSeconds = 30;
constexpr int kConnectTimeoutMs = 5000;
constexpr int kIdleTimeoutMs = 60 * 1000;
constexpr std::string_view kTestDomain = "tarvo.test";

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
  client.SetReadTimeout(2);
  char sink[16 * 1024];
  size_t drained = 0;
  while (drained < 1024 * 1024) {
    const long received = client.ReadSome(sink, sizeof(sink));
    if (received <= 0) {
      return;
    }
    drained += static_cast<size_t>(received);
  }
}

bool IsTestDomain(const std::string& host) {
  return host == kTestDomain ||
         (host.size() > kTestDomain.size() + 1 && host.compare(host.size() - kTestDomain.size(), std::string::npos,
                                                               kTestDomain) == 0 &&
          host[host.size() - kTestDomain.size() - 1] == '.');
}

// The numeric address of a loopback destination, or empty for anything else.
std::string LoopbackAddress(const std::string& host) {
  if (host == "localhost") {
    return "127.0.0.1";
  }
  in_addr v4{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1) {
    return (ntohl(v4.s_addr) >> 24) == 127 ? host : std::string();
  }
  in6_addr v6{};
  if (inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6)) {
    return host;
  }
  return std::string();
}

int BindListener(const std::string& address, int port) {
  const SocketAddress local = SocketAddress::FromNumeric(address, port);
  if (!local.valid()) {
    return -1;
  }
  const int fd = ::socket(local.storage.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) != 0 ||
      ::bind(fd, local.get(), local.length) != 0 || ::listen(fd, 64) != 0) {
    if (fd >= 0) {
      ::close(fd);
    }
    return -1;
  }
  return fd;
}

int BoundPort(int fd) {
  sockaddr_storage storage{};
  socklen_t length = sizeof(storage);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length);
  return storage.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port)
                                       : ntohs(reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
}

}  // namespace

ProxyServer::ProxyServer(int64_t nodeId, std::string listenAddress, int port, Admission admits, NodeAddress front)
    : nodeId_(nodeId),
      listenAddress_(std::move(listenAddress)),
      port_(port),
      admits_(std::move(admits)),
      front_(std::move(front)) {}

ProxyServer::~ProxyServer() { Stop(); }

int ProxyServer::Start() {
  listenFd_ = BindListener(listenAddress_, port_);
  if (listenFd_ < 0) {
    throw ServiceError("cannot run the proxy of node " + std::to_string(nodeId_) + " on " + listenAddress_ + ":" +
                       std::to_string(port_) + ": " + std::strerror(errno));
  }
  port_ = BoundPort(listenFd_);
  acceptThread_ = std::thread([this] { AcceptLoop(); });
  return port_;
}

void ProxyServer::Stop() {
  if (listenFd_ < 0 || stopping_.exchange(true)) {
    return;
  }
  ::shutdown(listenFd_, SHUT_RDWR);
  acceptThread_.join();
  ::close(listenFd_);
  std::lock_guard lock(clientsMutex_);
  for (const auto& client : clients_) {
    client->connection.Shutdown();
  }
  for (const auto& client : clients_) {
    client->thread.join();
  }
  clients_.clear();
}

ProxyCounts ProxyServer::Counts() const {
  return ProxyCounts{requests_.load(), tunnels_.load(), authRefused_.load(), destinationRefused_.load(),
                     upstreamFailures_.load()};
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

void ProxyServer::AcceptLoop() {
  while (!stopping_) {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (stopping_) {
        break;
      }
      if (errno == EMFILE || errno == ENFILE) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      continue;
    }
    std::lock_guard lock(clientsMutex_);
    ReapFinished();
    if (clients_.size() >= kMaxClients) {
      TcpConnection(fd).WriteAll(SimpleReply(503, "Service Unavailable"));
      continue;
    }
    auto client = std::make_unique<Client>();
    client->connection = TcpConnection(fd);
    Client* raw = client.get();
    client->thread = std::thread([this, raw] {
      Serve(raw->connection);
      raw->finished = true;
    });
    clients_.push_back(std::move(client));
  }
}

void ProxyServer::Serve(const TcpConnection& client) {
  client.SetReadTimeout(kClientReadTimeoutSeconds);
  std::string buffer;
  char chunk[16 * 1024];
  size_t headEnd = std::string::npos;
  while ((headEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
    if (buffer.size() > kMaxHeadBytes) {
      ReplyAndLinger(client, SimpleReply(431, "Request Header Fields Too Large"));
      return;
    }
    const long received = client.ReadSome(chunk, sizeof(chunk));
    if (received <= 0) {
      return;
    }
    buffer.append(chunk, static_cast<size_t>(received));
  }
  if (headEnd > kMaxHeadBytes) {
    ReplyAndLinger(client, SimpleReply(431, "Request Header Fields Too Large"));
    return;
  }
  const auto head = ProxyRequestHead::Parse(std::string_view(buffer).substr(0, headEnd));
  if (!head) {
    ReplyAndLinger(client, SimpleReply(400, "Bad Request"));
    return;
  }
  const auto credentials = head->BasicCredentials();
  if (!credentials || !admits_(credentials->first, credentials->second)) {
    ++authRefused_;
    ReplyAndLinger(client,
                   SimpleReply(407, "Proxy Authentication Required", "Proxy-Authenticate: Basic realm=\"tarvo\"\r\n"));
    return;
  }
  std::string address = front_.ip;
  int port = front_.port;
  if (!IsTestDomain(head->host())) {
    address = LoopbackAddress(head->host());
    port = head->port();
  }
  if (address.empty()) {
    ++destinationRefused_;
    ReplyAndLinger(client, SimpleReply(403, "Forbidden"));
    return;
  }
  auto upstream = TcpConnection::Connect(address, port, kConnectTimeoutMs);
  if (!upstream) {
    ++upstreamFailures_;
    ReplyAndLinger(client, SimpleReply(502, "Bad Gateway"));
    return;
  }
  std::string pending = buffer.substr(headEnd + 4);
  if (head->IsConnect()) {
    ++tunnels_;
    if (!client.WriteAll("HTTP/1.1 200 Connection Established\r\n\r\n")) {
      return;
    }
  } else {
    ++requests_;
    pending.insert(0, head->ForwardedHead());
  }
  Tunnel(client, *upstream, std::move(pending));
}

void ProxyServer::Tunnel(const TcpConnection& client, const TcpConnection& upstream, std::string pending) {
  if (!pending.empty() && !upstream.WriteAll(pending)) {
    return;
  }
  char chunk[64 * 1024];
  bool clientOpen = true;
  for (;;) {
    pollfd fds[2] = {{upstream.fd(), POLLIN, 0}, {clientOpen ? client.fd() : -1, POLLIN, 0}};
    const int ready = ::poll(fds, 2, kIdleTimeoutMs);
    if (ready <= 0) {
      if (ready < 0 && errno == EINTR) {
        continue;
      }
      return;
    }
    if (fds[1].revents != 0) {
      const long received = client.ReadSome(chunk, sizeof(chunk));
      if (received <= 0) {
        clientOpen = false;
        upstream.ShutdownWrite();
      } else if (!upstream.WriteAll(std::string_view(chunk, static_cast<size_t>(received)))) {
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
