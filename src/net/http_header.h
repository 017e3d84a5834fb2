#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// The parsed head of one HTTP response: protocol, status, reason and header fields.
// Fields are kept in received spelling (a later duplicate replaces an earlier one);
// lookups through Field ignore case, as HTTP field names are case-insensitive. A value
// type used by one thread.
class CHttpHeader {
 public:
  virtual ~CHttpHeader() = default;

  // Parses the head without its closing empty line. False, with the object in an
  // unspecified state, when the status line is not "HTTP/1.0" or "HTTP/1.1" followed by
  // a three-digit status, when Content-Length is malformed or given twice with
  // different values (such a response cannot be framed safely), or when the head
  // holds a NUL byte.
  bool Parse(std::string_view head);

  const char* protocol() const { return protocol_; }
  int32_t status() const { return status_; }
  const std::string& reason() const { return reason_; }
  const std::map<std::string, std::string>& fields() const { return fields_; }

  // The value of a field, name compared without regard to case; empty when absent.
  std::string Field(std::string_view name) const;
  // The announced body length, when there is one.
  std::optional<uint64_t> contentLength() const { return contentLength_; }
  // True when the body comes in chunked transfer coding.
  bool chunked() const;

 private:
  char protocol_[9] = {};
  int32_t status_ = 0;
  std::string reason_;
  std::map<std::string, std::string> fields_;
  std::optional<uint64_t> contentLength_;
};

}  // namespace tarvo
