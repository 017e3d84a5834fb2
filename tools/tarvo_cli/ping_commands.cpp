#include <arpa/inet.h>

#include "cli_command.h"
#include "net/ping_socket.h"

namespace tarvo::cli {

namespace {

int RunPing(const std::vector<std::string>& args, CliStreams& io) {
  if (args.size() != 1) {
    return UsageError(io, "ping", "expects one IPv4 ADDRESS");
  }
  in_addr address{};
  if (inet_pton(AF_INET, args[0].c_str(), &address) != 1) {
    return UsageError(io, "ping", "'" + args[0] + "' is not a dotted IPv4 address");
  }
  PingSocket ping;
  if (!ping.ready()) {
    io.err << "tarvo-cli ping: no ICMP socket may be opened here\n";
    return kExitFailed;
  }
  PingReply reply;
  ping.Ping(address.s_addr, &reply);
  if (reply.ttl == 0 && reply.sequence == 0) {
    io.out << args[0] << ": no reply within " << PingSocket::kTimeoutMs << " ms\n";
    return kExitFailed;
  }
  io.out << args[0] << ": seq=" << reply.sequence << " time=" << reply.roundTripMs << " ms ttl=" << reply.ttl
         << " data=" << reply.dataSize << " bytes (" << (ping.datagram() ? "datagram" : "raw") << " socket)\n";
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> PingCommands() {
  return {{"ping", "send one ICMP echo request as the mirror measurement does",
           "usage: tarvo-cli ping ADDRESS\n\nSends one echo request to the IPv4 ADDRESS and waits up to 2000 ms.\n"
           "Uses a raw socket where allowed, else the unprivileged ICMP datagram socket.\n",
           RunPing}};
}

}  // namespace tarvo::cli
