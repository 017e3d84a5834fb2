#include "socket_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

namespace tarvo::service {

SocketAddress SocketAddress::FromNumeric(const std::string& address, int port) {
  SocketAddress result;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&result.storage);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&result.storage);
  if (inet_pton(AF_INET, address.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(static_cast<uint16_t>(port));
    result.length = sizeof(sockaddr_in);
  } else if (inet_pton(AF_INET6, address.c_str(), &v6->sin6_addr) == 1) {
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(static_cast<uint16_t>(port));
    result.length = sizeof(sockaddr_in6);
  }
  return result;
}

}  // namespace tarvo::service
