#pragma once

namespace tarvo::cef {

// While closed, the Chromium engine cannot send datagrams to internet addresses
// (but for multicast, which stays on the machine's own link). Its network stack runs
// in this process, and every peer connection a page makes, from whatever frame,
// window or worker, sends from here: its STUN requests, which would show the
// machine's real address past a proxy, and its candidates' checks. A page can find
// ways around a script that replaces its constructors; it cannot get a datagram out
// that the process refuses. Nothing the engine needs while going through a proxy
// server is lost: its pages and TURN over TCP use TCP, its name lookups connected
// sockets, and the rest of the process (the service's client, D-Bus; the
// compatibility engine runs in its own processes) sends as before.
//
// The refusal lives in this file's definitions of the C library's sendto(),
// sendmsg() and sendmmsg(), which the engine's library calls and this executable's
// definitions answer first.
// Threads: any; the state is one atomic flag.
class EngineUdpGate {
 public:
  static void SetClosed(bool closed);
  static bool closed();
};

}  // namespace tarvo::cef
