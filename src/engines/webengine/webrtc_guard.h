#pragma once

#include <QPointer>
#include <vector>

class QWebEngineProfile;

namespace tarvo::cef {

// Keeps WebRTC on the proxy's road while the engine goes through a fixed proxy
// server (the VPN's node), in two layers. The engine may make no internet datagram
// sockets (EngineUdpGate): whatever a page does to reach a peer connection, nothing
// of it can ask a STUN server or send from the real interface. And every document
// the engine's profiles make from then on runs kWebRtcGuardScript first, so its peer
// connections use only relay candidates through TURN over TCP, which the engine
// sends through the proxy, and do not list the machine's own addresses. Without the
// guard WebRTC is the engine's own.
//
// The engine's command-line switch for the same ("force-webrtc-ip-handling-policy=
// disable_non_proxied_udp") is read once per process and holds for every page, but
// with it WebRTC between two local pages fails while the VPN is off (both are in the
// proxy test's table); the engine's per-page setting (public interfaces only) still
// asks STUN servers directly. Documents already open when the guard comes on keep
// what they had (the sockets they hold too): the browser reloads them.
//
// Lifetime: owned by EngineContext. Threads: GUI thread only.
class WebRtcGuard {
 public:
  // Guards (or stops guarding) the documents made from now on in every profile.
  void SetGuarded(bool guarded);
  bool guarded() const { return guarded_; }
  // A profile the engine makes later (a private window's) follows the guard too.
  void AddProfile(QWebEngineProfile* profile);

 private:
  void Apply(QWebEngineProfile* profile) const;

  std::vector<QPointer<QWebEngineProfile>> profiles_;  // not owned
  bool guarded_ = false;
};

}  // namespace tarvo::cef
