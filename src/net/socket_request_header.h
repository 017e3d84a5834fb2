#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// The socket client's request record: fixed-width, zero-terminated fields, all zeroed
// at creation. A value type used by one thread.
struct SocketRequestHeader {
  char method[5] = {};
  char path[260] = {};
  char protocol[9] = {};
  char accept[100] = {};
  char host[30] = {};
  char rangeStart[11] = {};
  char connection[11] = {};

  // A GET record for `host` and `path`. False when either does not fit its field:
  // a cut host or path would fetch some other resource, so such a request is never
  // sent.
  bool Fill(std::string_view hostName, std::string_view requestPath);
  // The request text: request line, Accept, Host, Range (only when rangeStart is
  // set), Connection and the closing empty line.
  std::string ToText() const;
};

}  // namespace tarvo
