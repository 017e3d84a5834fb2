#include "proxy_protocol.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstring>

#include "socket_address.h"

namespace tarvo::service {

namespace {

constexpr unsigned char kVersion2Proxy = 0x21;
constexpr unsigned char kVersion2Local = 0x20;
constexpr unsigned char kTcp4 = 0x11;
constexpr unsigned char kTcp6 = 0x21;
constexpr size_t kIpv4Block = 12;  // two addresses and two ports
constexpr size_t kIpv6Block = 36;

void AppendPort(std::string& out, int port) {
  out.push_back(static_cast<char>((port >> 8) & 0xff));
  out.push_back(static_cast<char>(port & 0xff));
}

// The 16 bytes of an address in IPv6 form (IPv4 mapped).
in6_addr AsIpv6(const std::string& numeric) {
  in6_addr v6{};
  in_addr v4{};
  if (inet_pton(AF_INET, numeric.c_str(), &v4) == 1) {
    v6.s6_addr[10] = 0xff;
    v6.s6_addr[11] = 0xff;
    std::memcpy(&v6.s6_addr[12], &v4, 4);
  } else {
    inet_pton(AF_INET6, numeric.c_str(), &v6);
  }
  return v6;
}

}  // namespace

std::string ProxyProtocol::Header(const NodeAddress& client, const NodeAddress& server) {
  in_addr clientV4{};
  in_addr serverV4{};
  const bool ipv4 =
      inet_pton(AF_INET, client.ip.c_str(), &clientV4) == 1 && inet_pton(AF_INET, server.ip.c_str(), &serverV4) == 1;
  std::string header(kSignature);
  header.push_back(static_cast<char>(kVersion2Proxy));
  header.push_back(static_cast<char>(ipv4 ? kTcp4 : kTcp6));
  AppendPort(header, static_cast<int>(ipv4 ? kIpv4Block : kIpv6Block));
  if (ipv4) {
    header.append(reinterpret_cast<const char*>(&clientV4), 4);
    header.append(reinterpret_cast<const char*>(&serverV4), 4);
  } else {
    const in6_addr clientV6 = AsIpv6(client.ip);
    const in6_addr serverV6 = AsIpv6(server.ip);
    header.append(reinterpret_cast<const char*>(clientV6.s6_addr), 16);
    header.append(reinterpret_cast<const char*>(serverV6.s6_addr), 16);
  }
  AppendPort(header, client.port);
  AppendPort(header, server.port);
  return header;
}

ProxyProtocol::Reading ProxyProtocol::Read(std::string_view bytes) {
  using Kind = Reading::Kind;
  const size_t compared = std::min(bytes.size(), kSignature.size());
  if (bytes.substr(0, compared) != kSignature.substr(0, compared)) {
    return Reading{Kind::kInvalid};
  }
  if (bytes.size() < 16) {
    return Reading{Kind::kMore};
  }
  const auto byte = [&](size_t at) { return static_cast<unsigned char>(bytes[at]); };
  const size_t length = 16 + (size_t{byte(14)} << 8 | byte(15));
  if (length > kMaxHeaderBytes || (byte(12) & 0xf0) != 0x20) {
    return Reading{Kind::kInvalid};
  }
  if (bytes.size() < length) {
    Reading more{Kind::kMore};
    more.needed = length;
    return more;
  }
  if (byte(12) == kVersion2Local) {
    return Reading{Kind::kLocal, length};
  }
  if (byte(12) != kVersion2Proxy) {
    return Reading{Kind::kInvalid};
  }
  const unsigned char family = byte(13) & 0xf0;
  sockaddr_storage source{};
  if (family == 0x10 && length >= 16 + kIpv4Block) {
    auto* v4 = reinterpret_cast<sockaddr_in*>(&source);
    v4->sin_family = AF_INET;
    std::memcpy(&v4->sin_addr, bytes.data() + 16, 4);
  } else if (family == 0x20 && length >= 16 + kIpv6Block) {
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&source);
    v6->sin6_family = AF_INET6;
    std::memcpy(&v6->sin6_addr, bytes.data() + 16, 16);
  } else {
    // Unspecified or a UNIX socket: nothing the service can count a client by, so
    // the relay speaks for itself.
    return Reading{Kind::kLocal, length};
  }
  Reading proxy{Kind::kProxy, length};
  proxy.client = NumericHost(source);
  return proxy;
}

}  // namespace tarvo::service
