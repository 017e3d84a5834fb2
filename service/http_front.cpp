#include "http_front.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <iostream>
#include <sstream>

#include "api_codes.h"
#include "api_reply.h"
#include "api_router.h"
#include "connection_gate.h"
#include "front_request.h"
#include "form_fields.h"
#include "forwarded_client.h"
#include "json_text.h"
#include "local_addresses.h"
#include "proxied_clients.h"
#include "release_endpoints.h"
#include "served_files.h"
#include "service_error.h"
#include "socket_address.h"
#include "tcp_connection.h"

namespace tarvo::service {

namespace {

constexpr const char* kJsonType = "application/json; charset=utf-8";
constexpr const char* kHtmlType = "text/html; charset=utf-8";
constexpr std::string_view kApiPrefix = "/app/";
constexpr std::string_view kResetPasswordPath = "/personal-center/respwd.jsp";

// The account centre's password-reset page. Accounts are reset by whoever runs this
// service (re-seed the user with a new password); the page says so.
constexpr std::string_view kResetPasswordPage = R"HTML(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Reset password</title></head>
<body>
<h1>Reset password</h1>
<p>This service resets passwords through its operator: ask for your account to be
seeded again with a new password, then log in with it.</p>
<form onsubmit="return false"><label>Account <input name="username"></label>
<button disabled>Send reset mail</button></form>
</body></html>
)HTML";

bool IsApiPath(std::string_view path) { return path.compare(0, kApiPrefix.size(), kApiPrefix) == 0; }

const char* StatusText(int status) {
  switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 411: return "Length Required";
    case 413: return "Payload Too Large";
    case 415: return "Unsupported Media Type";
    case 429: return "Too Many Requests";
    case 431: return "Request Header Fields Too Large";
    case 503: return "Service Unavailable";
    default: return status >= 500 ? "Server Error" : "Error";
  }
}

// The envelope code at the start of a reply body ({"code":NNN,...}), or 0.
int EnvelopeCode(const std::string& body) {
  constexpr std::string_view kPrefix = "{\"code\":";
  if (body.compare(0, kPrefix.size(), kPrefix) != 0) {
    return 0;
  }
  return std::atoi(body.c_str() + kPrefix.size());
}

// A path for one log line: bytes that could end the line or fool a terminal are
// written as \xHH, so a request cannot forge lines of the log.
std::string Printable(std::string_view text) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f || byte == '\\') {
      shown += "\\x";
      shown.push_back(kDigits[byte >> 4]);
      shown.push_back(kDigits[byte & 0x0f]);
    } else {
      shown.push_back(c);
    }
  }
  return shown;
}

// A published file opened for sending, with its size then; -1 when it is gone or is
// no regular file.
int OpenPublished(const std::string& path, uint64_t& size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat status {};
  if (fd >= 0 && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
    ::close(fd);
    return -1;
  }
  size = fd >= 0 ? static_cast<uint64_t>(status.st_size) : 0;
  return fd;
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return std::nullopt;
  }
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

}  // namespace

struct HttpFront::Job {
  TcpConnection connection;
  std::string peer;    // where the connection comes from
  std::string client;  // whom the request is counted for
  bool viaProxy = false;  // through one of the nodes' proxies (or another relay)
  std::string received;
  std::optional<std::string> relayed;  // the client a relay named for the connection
  size_t answered = 0;                 // requests the connection brought before
};

// What goes back: a body in memory, or a file sent in pieces.
struct HttpFront::Answer {
  int status = 200;
  std::string contentType = "text/plain; charset=utf-8";
  std::string body;
  std::string extraHeaders;
  std::string filePath;
  uint64_t fileSize = 0;

  static Answer Envelope(int status, const ApiReply& reply) { return Answer{status, kJsonType, reply.ToJson()}; }
  static Answer Error(int status, bool api) {
    if (api) {
      const int code = status == 413 ? kCodeTooLarge : status;
      return Envelope(status, ApiReply::Failure(code, StatusText(status)));
    }
    return Answer{status, "text/plain; charset=utf-8", std::to_string(status) + " " + StatusText(status) + "\n"};
  }
  // A published file sent from disk; 404 when there is none.
  static Answer File(const std::optional<std::string>& path, std::string type) {
    if (!path) {
      return Error(404, false);
    }
    Answer answer{200, std::move(type)};
    answer.filePath = *path;
    return answer;
  }
  // A client that has its share of downloads on their way already.
  static Answer TooMany() {
    Answer answer = Error(429, false);
    answer.extraHeaders = "Retry-After: 30\r\n";
    return answer;
  }
  uint64_t size() const { return filePath.empty() ? body.size() : fileSize; }
  // `keepOpen`: the connection waits for another request afterwards.
  std::string Head(bool keepOpen = false) const {
    return "HTTP/1.1 " + std::to_string(status) + " " + StatusText(status) + "\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + std::to_string(size()) + "\r\n" + extraHeaders +
           (keepOpen ? "Connection: keep-alive\r\nKeep-Alive: timeout=" + std::to_string(kKeepAliveIdle.count()) + "\r\n"
                     : std::string("Connection: close\r\n")) +
           "\r\n";
  }
};

HttpFront::HttpFront(HttpFrontOptions options, std::ostream* log, const ProxiedClients& proxied)
    : options_(std::move(options)), log_(log), proxied_(proxied) {}

HttpFront::~HttpFront() {
  Stop();
  for (const int fd : listenFds_) {
    ::close(fd);
  }
}

int HttpFront::Bind(const std::vector<std::string>& mirrorAddresses) {
  const int main = BindListener(options_.listenAddress, options_.port);
  if (main < 0) {
    throw ServiceError("cannot listen on " + options_.listenAddress + ":" + std::to_string(options_.port) +
                       " (address in use or not available)");
  }
  port_ = BoundPort(main);
  listenFds_.push_back(main);
  const bool listensEverywhere = options_.listenAddress == "0.0.0.0";
  for (const std::string& address : mirrorAddresses) {
    if (listensEverywhere || address == options_.listenAddress) {
      continue;
    }
    const int mirror = BindListener(address, port_);
    if (mirror < 0) {
      std::cerr << "tarvo-service: cannot listen on mirror address " << address << ":" << port_
                << "; that mirror is not served" << std::endl;
      continue;
    }
    listenFds_.push_back(mirror);
  }
  pagesPort_ = port_;
  if (options_.tls != nullptr) {
    const int pages = BindListener("127.0.0.1", 0);
    if (pages < 0) {
      throw ServiceError("cannot listen on 127.0.0.1 for the proxies' pages");
    }
    pagesPort_ = BoundPort(pages);
    listenFds_.push_back(pages);
  }
  return port_;
}

void HttpFront::Serve(const ApiRouter& router, const ServedFiles& files, std::function<std::string()> proxyStatus) {
  router_ = &router;
  files_ = &files;
  proxyStatus_ = std::move(proxyStatus);
  const size_t maxBody = options_.maxBodyBytes;
  ConnectionGate::Limits limits;
  limits.maxRequestBytes = FrontRequest::kMaxHeadBytes + 4 + maxBody;
  limits.deadline = kRequestDeadline;
  limits.idle = kKeepAliveIdle;
  if (options_.tls != nullptr) {
    // A handshake's cryptography is most of a new TLS connection's cost: every core
    // takes its share, a thread each.
    limits.handshakers = std::max(2u, std::thread::hardware_concurrency());
  }
  for (const std::string& relay : options_.trustedRelays) {
    limits.relays.push_back(CanonicalAddress(relay));
  }
  const auto refusal = [](std::string_view received, int status) {
    const bool api = received.find(' ') != std::string_view::npos &&
                     IsApiPath(received.substr(received.find(' ') + 1));
    const Answer answer = Answer::Error(status, api);
    return answer.Head() + answer.body;
  };
  gate_ = std::make_unique<ConnectionGate>(
      limits,
      [maxBody, refusal](std::string_view received) {
        const FrontRequest::Progress progress = FrontRequest::Check(received, maxBody);
        ConnectionGate::Verdict verdict{progress.kind, std::string(), progress.sendContinue};
        if (progress.kind == ConnectionGate::Verdict::Kind::kRefuse) {
          verdict.reply = refusal(received, progress.status);
        }
        return verdict;
      },
      [this](TcpConnection connection, const std::string& peer, const std::optional<std::string>& relayed,
             std::string received, size_t answered) {
        Enqueue(std::move(connection), peer, relayed, std::move(received), answered);
      },
      ConnectionGate::Replies{refusal("", 408), refusal("", 431)});
  for (const int fd : listenFds_) {
    gate_->Listen(fd, fd == listenFds_.front() ? options_.tls : nullptr);
  }
  listenFds_.clear();
  sender_.Start();
  for (int i = 0; i < options_.threads; ++i) {
    workers_.emplace_back([this] { Work(); });
  }
  gate_->Start();
}

void HttpFront::Stop() {
  if (gate_) {
    gate_->Stop();
  }
  {
    std::lock_guard lock(jobsMutex_);
    stopping_ = true;
  }
  jobsReady_.notify_all();
  for (std::thread& worker : workers_) {
    worker.join();
  }
  workers_.clear();
  sender_.Stop();
}

void HttpFront::Enqueue(TcpConnection connection, const std::string& peer, const std::optional<std::string>& relayed,
                        std::string received, size_t answered) {
  // Settled now, while the proxy's note is fresh: the request may wait for a worker.
  std::optional<std::string> behind = relayed;
  if (!behind && proxied_.Any()) {
    behind = proxied_.ClientBehind(PeerAddress(connection.fd()));
  }
  std::lock_guard lock(jobsMutex_);
  if (jobs_.size() >= kMaxQueuedRequests) {
    const Answer busy = Answer::Error(503, false);
    connection.SendNow(busy.Head() + busy.body);
    return;
  }
  jobs_.push_back(Job{std::move(connection), peer, behind.value_or(peer), behind.has_value(), std::move(received),
                      relayed, answered});
  jobsReady_.notify_one();
}

void HttpFront::Work() {
  for (;;) {
    std::unique_lock lock(jobsMutex_);
    jobsReady_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) {
      return;  // stopping, and everything queued was answered
    }
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    Handle(std::move(job));
  }
}

bool HttpFront::IsTrustedForwarder(const std::string& peer) const {
  return std::find(options_.trustedForwarders.begin(), options_.trustedForwarders.end(), peer) !=
         options_.trustedForwarders.end();
}

void HttpFront::Handle(Job job) {
  std::string client = job.client;
  auto request = FrontRequest::Parse(job.received, client);
  if (request && !job.viaProxy && IsTrustedForwarder(job.peer)) {
    if (const auto forwarded = ForwardedClient(request->JoinedHeader("X-Forwarded-For"))) {
      client = *forwarded;
      request = FrontRequest::Parse(job.received, client);
    }
  }
  Answer answer =
      request ? Route(*request, job.viaProxy, job.connection.tls() != nullptr) : Answer::Error(400, false);
  const bool headOnly = request && request->method() == "HEAD";
  std::optional<ClientSlots::Slot> slot;
  int file = -1;
  if (!answer.filePath.empty()) {
    // A download takes one of its client's places before anything goes out, so a
    // client that has its share already can still be told 429.
    slot = headOnly ? std::optional<ClientSlots::Slot>(ClientSlots::Slot()) : sender_.Reserve(client);
    file = slot ? OpenPublished(answer.filePath, answer.fileSize) : -1;
    if (!slot) {
      answer = Answer::TooMany();
    } else if (file < 0) {
      answer = Answer::Error(404, false);
    }
  }
  // Bytes after the request would be a pipelined one, which is not read: the
  // connection closes after this answer rather than take them for the next request.
  const bool keepOpen = request && request->keepsAlive() && request->size() == job.received.size() &&
                        job.answered + 1 < kRequestsPerConnection;
  const std::string head = answer.Head(keepOpen);
  OutgoingReply reply(std::move(job.connection), headOnly ? head : head + answer.body);
  if (file >= 0) {
    reply.AttachFile(file, headOnly ? 0 : answer.fileSize);
    reply.Hold(std::move(*slot));
  }
  if (keepOpen) {
    reply.KeepOpenFor([this, peer = job.peer, relayed = job.relayed, answered = job.answered + 1](
                          TcpConnection connection) { gate_->Readopt(std::move(connection), peer, relayed, answered); });
  }
  sender_.Send(std::move(reply), client);
  Log(client, job.viaProxy, request ? request->method() : "?", request ? request->path() : "?", answer);
}

HttpFront::Answer HttpFront::Route(const FrontRequest& request, bool viaProxy, bool secure) const {
  // Passwords, tokens and installers never cross a plain address of a TLS front.
  const bool pagesOnly = options_.tls != nullptr && !secure;
  if (IsApiPath(request.path())) {
    return pagesOnly ? Answer::Envelope(404, ApiReply::Failure(kCodeNotFound, "the service answers over HTTPS only"))
                     : AnswerApi(request);
  }
  if (request.method() != "GET" && request.method() != "HEAD") {
    return Answer::Error(404, false);
  }
  if (pagesOnly) {
    return AnswerPage(request);
  }
  if (request.path() == kResetPasswordPath) {
    return Answer{200, kHtmlType, std::string(kResetPasswordPage)};
  }
  if (request.path() == "/status/proxies") {
    // The counters are for whoever runs the service, on this machine.
    return IsLoopbackAddress(request.peer()) && !viaProxy ? Answer{200, kJsonType, proxyStatus_()}
                                                          : Answer::Error(404, false);
  }
  const std::string_view download = ReleaseEndpoints::kDownloadPath;
  if (request.path().compare(0, download.size(), download) == 0 && request.path().size() > download.size()) {
    return Answer::File(files_->FindInstaller(request.path().substr(download.size())), "application/octet-stream");
  }
  const std::string_view icons = ServedFiles::kIconPath;
  if (request.path().compare(0, icons.size(), icons) == 0) {
    return Answer::File(files_->FindIcon(request.path().substr(icons.size())),
                        ServedFiles::ContentType(request.path()));
  }
  return AnswerPage(request);
}

HttpFront::Answer HttpFront::AnswerPage(const FrontRequest& request) const {
  const auto path = files_->FindPage(request.Header("Host"), request.path());
  const auto content = path ? ReadFile(*path) : std::nullopt;
  return content ? Answer{200, ServedFiles::ContentType(*path), *content} : Answer::Error(404, false);
}

HttpFront::Answer HttpFront::AnswerApi(const FrontRequest& request) const {
  const std::string path = request.path().substr(1);
  if (request.method() != "POST") {
    if (!router_->Knows(path)) {
      return Answer::Envelope(404, ApiReply::Failure(kCodeNotFound, "unknown path"));
    }
    Answer answer = Answer::Envelope(405, ApiReply::Failure(kCodeMethodNotAllowed, "use POST"));
    answer.extraHeaders = "Allow: POST\r\n";
    return answer;
  }
  if (request.Header("Content-Type").rfind("multipart/form-data", 0) == 0) {
    return Answer::Envelope(415, ApiReply::Failure(kCodeBadRequest, "send an application/x-www-form-urlencoded body"));
  }
  const RequestContext context{request.peer(), request.Header("Host")};
  const ApiReply reply = router_->Dispatch(path, FormFields::Parse(request.body()), context);
  return Answer::Envelope(router_->Knows(path) ? 200 : 404, reply);
}

void HttpFront::Log(const std::string& client, bool viaProxy, const std::string& method, const std::string& path,
                    const Answer& answer) {
  if (log_ == nullptr) {
    return;
  }
  std::ostringstream line;
  line << client << (viaProxy ? " via proxy " : " ") << Printable(method) << " " << Printable(path) << " "
       << answer.status;
  if (const int code = EnvelopeCode(answer.body); code != 0) {
    line << " code=" << code;
  }
  line << " bytes=" << answer.size() << "\n";
  std::lock_guard lock(logMutex_);
  *log_ << line.str() << std::flush;
}

}  // namespace tarvo::service
