#include "support/range_file_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <optional>

namespace tarvo::test {

namespace {

constexpr size_t kChunk = 64 * 1024;
constexpr uint64_t kLie = 1024 * 1024;
// The pattern repeats every 7 × 26 bytes.
constexpr uint64_t kPeriod = 182;

// kChunk + kPeriod bytes of the pattern from offset 0: any chunk of the pattern
// starts somewhere in its first kPeriod bytes.
const std::vector<char>& PatternWindow() {
  static const std::vector<char> window = [] {
    std::vector<char> bytes(kChunk + kPeriod);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = RangeFileServer::ByteAt(i);
    return bytes;
  }();
  return window;
}

bool SendAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The value of header `name` (lower case) in `head`, or "".
std::string HeaderOf(const std::string& head, const std::string& name) {
  size_t at = 0;
  while ((at = head.find("\r\n", at)) != std::string::npos) {
    at += 2;
    const size_t colon = head.find(':', at);
    const size_t end = head.find("\r\n", at);
    if (colon == std::string::npos || end == std::string::npos || colon > end) continue;
    if (Lower(head.substr(at, colon - at)) == name) {
      std::string value = head.substr(colon + 1, end - colon - 1);
      value.erase(0, value.find_first_not_of(' '));
      return value;
    }
  }
  return {};
}

}  // namespace

RangeFileServer::RangeFileServer() {
  listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
  const int on = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::listen(listener_, 64);
  socklen_t length = sizeof address;
  ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

RangeFileServer::~RangeFileServer() {
  stopping_ = true;
  ::shutdown(listener_, SHUT_RDWR);
  acceptor_.join();
  std::vector<std::thread> connections;
  {
    std::lock_guard lock(mutex_);
    for (int fd : open_) ::shutdown(fd, SHUT_RDWR);
    connections.swap(connections_);
  }
  for (std::thread& connection : connections) connection.join();
  ::close(listener_);
}

char RangeFileServer::ByteAt(uint64_t offset) { return static_cast<char>('a' + (offset / 7 + offset) % 26); }

bool RangeFileServer::HoldsPattern(const std::string& path, uint64_t size) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> buffer(kChunk);
  uint64_t offset = 0;
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<uint64_t>(in.gcount());
    if (offset + got > size || std::memcmp(buffer.data(), PatternWindow().data() + offset % kPeriod, got) != 0) {
      return false;
    }
    offset += got;
  }
  return offset == size;
}

void RangeFileServer::Serve(const std::string& path, File file) {
  std::lock_guard lock(mutex_);
  files_[path] = std::move(file);
}

void RangeFileServer::ServePage(const std::string& path, std::string html, std::string setCookie) {
  std::lock_guard lock(mutex_);
  pages_[path] = {std::move(html), std::move(setCookie)};
}

std::string RangeFileServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<RangeFileServer::Request> RangeFileServer::RequestsFor(const std::string& path) const {
  std::lock_guard lock(mutex_);
  std::vector<Request> found;
  for (const Request& request : requests_) {
    if (request.path == path) found.push_back(request);
  }
  return found;
}

void RangeFileServer::AcceptLoop() {
  while (!stopping_) {
    const int fd = ::accept(listener_, nullptr, nullptr);
    if (fd < 0) {
      if (stopping_) return;
      continue;
    }
    std::lock_guard lock(mutex_);
    open_.push_back(fd);
    connections_.emplace_back([this, fd] { Handle(fd); });
  }
}

void RangeFileServer::Handle(int fd) {
  std::string head;
  char buffer[4096];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 16384) {
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    head.append(buffer, static_cast<size_t>(got));
  }
  const size_t space = head.find(' ');
  const size_t secondSpace = head.find(' ', space + 1);
  if (space != std::string::npos && secondSpace != std::string::npos) {
    Request request{head.substr(space + 1, secondSpace - space - 1), HeaderOf(head, "range"),
                    HeaderOf(head, "if-range"), HeaderOf(head, "cookie")};
    std::optional<File> file;
    std::optional<Page> page;
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
      if (auto found = files_.find(request.path); found != files_.end()) file = found->second;
      if (auto found = pages_.find(request.path); found != pages_.end()) page = found->second;
    }
    if (file) {
      SendFile(fd, request.path, *file, request);
    } else if (page) {
      SendPage(fd, *page);
    } else {
      const char* missing = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
      SendAll(fd, missing, std::strlen(missing));
    }
  }
  Forget(fd);
}

void RangeFileServer::SendFile(int fd, const std::string& path, const File& file, const Request& request) {
  uint64_t from = 0;
  const bool validatorMatches =
      file.ignoresIfRange || request.ifRange.empty() || request.ifRange == file.etag ||
      request.ifRange == file.lastModified;
  if (file.ranges && request.range.rfind("bytes=", 0) == 0 && validatorMatches) {
    from = std::stoull(request.range.substr(6));
    if (from >= file.size) {
      const std::string refused = "HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */" +
                                  std::to_string(file.size) + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
      SendAll(fd, refused.data(), refused.size());
      return;
    }
  }
  const uint64_t remaining = file.size - from;
  std::string head = from > 0 ? "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(from) + "-" +
                                    std::to_string(file.size - 1) + "/" + std::to_string(file.size) + "\r\n"
                              : "HTTP/1.1 200 OK\r\n";
  head += "Content-Type: application/octet-stream\r\nConnection: close\r\n";
  if (!file.fileName.empty()) head += "Content-Disposition: attachment; filename=\"" + file.fileName + "\"\r\n";
  if (!file.etag.empty()) head += "ETag: " + file.etag + "\r\n";
  if (!file.lastModified.empty()) head += "Last-Modified: " + file.lastModified + "\r\n";
  if (file.ranges) head += "Accept-Ranges: bytes\r\n";
  if (file.length == Length::kExact) head += "Content-Length: " + std::to_string(remaining) + "\r\n";
  if (file.length == Length::kMore) head += "Content-Length: " + std::to_string(remaining + kLie) + "\r\n";
  head += "\r\n";
  if (!SendAll(fd, head.data(), head.size())) return;
  bool first = false;
  {
    std::lock_guard lock(mutex_);
    first = answered_[path]++ == 0;
  }
  const uint64_t limit = first && file.dropFirstAfter > 0 ? std::min(remaining, file.dropFirstAfter) : remaining;
  const auto start = std::chrono::steady_clock::now();
  for (uint64_t sent = 0; sent < limit && !stopping_;) {
    const size_t size = static_cast<size_t>(std::min<uint64_t>(kChunk, limit - sent));
    if (!SendAll(fd, PatternWindow().data() + (from + sent) % kPeriod, size)) return;
    sent += size;
    if (file.bytesPerSecond > 0) {
      const auto due = start + std::chrono::microseconds(sent * 1000000 / file.bytesPerSecond);
      std::this_thread::sleep_until(due);
    }
  }
}

void RangeFileServer::SendPage(int fd, const Page& page) {
  std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n";
  if (!page.setCookie.empty()) answer += "Set-Cookie: " + page.setCookie + "\r\n";
  answer += "Content-Length: " + std::to_string(page.html.size()) + "\r\n\r\n" + page.html;
  SendAll(fd, answer.data(), answer.size());
}

void RangeFileServer::Forget(int fd) {
  {
    // Out of the list first: the destructor must never shut a number that a new
    // connection took over.
    std::lock_guard lock(mutex_);
    open_.erase(std::remove(open_.begin(), open_.end(), fd), open_.end());
  }
  ::shutdown(fd, SHUT_WR);
  ::close(fd);
}

}  // namespace tarvo::test
