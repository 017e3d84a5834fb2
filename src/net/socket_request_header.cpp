#include "net/socket_request_header.h"

#include <cstring>

namespace tarvo {

namespace {

template <size_t N>
bool CopyField(char (&field)[N], std::string_view value) {
  if (value.size() >= N) {
    return false;
  }
  std::memcpy(field, value.data(), value.size());
  field[value.size()] = '\0';
  return true;
}

}  // namespace

bool SocketRequestHeader::Fill(std::string_view hostName, std::string_view requestPath) {
  *this = SocketRequestHeader();
  return CopyField(method, "GET") && CopyField(path, requestPath) && CopyField(protocol, "HTTP/1.1") &&
         CopyField(accept, "*/*") && CopyField(host, hostName) && CopyField(connection, "Keep-Alive");
}

std::string SocketRequestHeader::ToText() const {
  std::string text;
  text.reserve(256);
  text.append(method).append(" ").append(path).append(" ").append(protocol);
  text.append("\r\nAccept: ").append(accept);
  text.append("\r\nHost: ").append(host);
  if (rangeStart[0] != '\0') {
    text.append("\r\nRange: bytes=").append(rangeStart).append("-");
  }
  text.append("\r\nConnection: ").append(connection);
  text.append("\r\n\r\n");
  return text;
}

}  // namespace tarvo
