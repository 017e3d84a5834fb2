#include "support/range_file_server.h"

#include <algorithm>
#include <optional>

namespace tarvo::test {

namespace {

constexpr uint64_t kLie = 1024 * 1024;

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
    const size_t end = std::min(head.find("\r\n", at), head.size());
    if (colon == std::string::npos || colon > end) continue;
    if (Lower(head.substr(at, colon - at)) == name) {
      std::string value = head.substr(colon + 1, end - colon - 1);
      value.erase(0, value.find_first_not_of(' '));
      return value;
    }
  }
  return {};
}

ScriptedReply Closing(std::string head, std::string body = {}) {
  ScriptedReply reply;
  reply.head = std::move(head);
  reply.body = std::move(body);
  reply.close = true;
  return reply;
}

}  // namespace

void RangeFileServer::Serve(const std::string& path, File file) {
  std::lock_guard lock(mutex_);
  files_[path] = std::move(file);
}

void RangeFileServer::ServePage(const std::string& path, std::string html, std::string setCookie) {
  std::lock_guard lock(mutex_);
  pages_[path] = {std::move(html), std::move(setCookie)};
}

std::vector<RangeFileServer::Request> RangeFileServer::RequestsFor(const std::string& path) const {
  std::lock_guard lock(mutex_);
  std::vector<Request> found;
  for (const Request& request : requests_) if (request.path == path) found.push_back(request);
  return found;
}

ScriptedReply RangeFileServer::Answer(const ReceivedRequest& received) {
  const Request request{received.target, HeaderOf(received.head, "range"), HeaderOf(received.head, "if-range"),
                        HeaderOf(received.head, "cookie")};
  std::optional<File> file;
  std::optional<Page> page;
  bool first = false;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    if (auto found = files_.find(request.path); found != files_.end()) {
      file = found->second;
      first = answered_[request.path]++ == 0;
    }
    if (auto found = pages_.find(request.path); found != pages_.end()) page = found->second;
  }
  if (file) return FileAnswer(*file, first, request);
  if (page) {
    std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n";
    if (!page->setCookie.empty()) head += "Set-Cookie: " + page->setCookie + "\r\n";
    return Closing(head + "Content-Length: " + std::to_string(page->html.size()) + "\r\n\r\n", page->html);
  }
  return Closing("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
}

ScriptedReply RangeFileServer::FileAnswer(const File& file, bool first, const Request& request) const {
  uint64_t from = 0;
  const bool validatorMatches =
      file.ignoresIfRange || request.ifRange.empty() || request.ifRange == file.etag ||
      request.ifRange == file.lastModified;
  if (file.ranges && request.range.rfind("bytes=", 0) == 0 && validatorMatches) {
    from = std::stoull(request.range.substr(6));
    if (from >= file.size) {
      return Closing("HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */" + std::to_string(file.size) +
                     "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
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
  ScriptedReply reply = Closing(head + "\r\n");
  reply.generatedFrom = from;
  reply.generatedBytes = first && file.dropFirstAfter > 0 ? std::min(remaining, file.dropFirstAfter) : remaining;
  reply.bytesPerSecond = file.bytesPerSecond;
  return reply;
}

}  // namespace tarvo::test
