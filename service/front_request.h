#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "connection_gate.h"

namespace tarvo::service {

// One request to the HTTP front, read whole before anyone works on it: method,
// path (percent-decoded, without the query), headers and body. A value object.
class FrontRequest {
 public:
  static constexpr size_t kMaxHeadBytes = 16 * 1024;
  static constexpr size_t kMaxHeaderLines = 100;

  // What the gate makes of the bytes a client sent so far: more to come, a whole
  // request (head and a Content-Length body of at most `maxBody` bytes), or a
  // refusal with its HTTP status (400, 411, 413, 431).
  struct Progress {
    ConnectionGate::Verdict::Kind kind = ConnectionGate::Verdict::Kind::kMore;
    int status = 0;              // kRefuse
    bool sendContinue = false;   // kMore: the client asked to be told to go on
  };
  static Progress Check(std::string_view received, size_t maxBody);

  // Parses a whole request (Check said kComplete); nullopt when it is malformed.
  static std::optional<FrontRequest> Parse(std::string_view received, std::string peer);

  const std::string& method() const { return method_; }
  const std::string& path() const { return path_; }
  const std::string& body() const { return body_; }
  const std::string& peer() const { return peer_; }
  // The bytes the request took of what was received (more: the client sent on).
  size_t size() const { return size_; }
  // An HTTP/1.1 client that did not ask to close: its connection may serve again.
  bool keepsAlive() const;
  // The first header called `name` (compared without case), or "".
  std::string Header(std::string_view name) const;
  // Every header called `name`, in the order they came, joined with ", " as one
  // list (RFC 9110 5.3): a proxy that appends a line of its own leaves the client's
  // lines before it.
  std::string JoinedHeader(std::string_view name) const;

 private:
  std::string method_;
  std::string path_;
  std::vector<std::pair<std::string, std::string>> headers_;
  std::string body_;
  std::string peer_;
  std::string version_;
  size_t size_ = 0;
};

}  // namespace tarvo::service
