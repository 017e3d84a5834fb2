#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <span>
#include <string_view>
#include <thread>
#include <vector>

#include "epoll_loop.h"
#include "tcp_connection.h"
#include "tls_server_context.h"

namespace tarvo::service {

// Waits for requests on behalf of a server. It accepts connections on the listening
// sockets it is given and reads what each client sends, all on one thread, until the
// server's check finds a whole request; only then is the connection handed over. A
// slow or idle client therefore holds a little memory and no worker, and within
// bounds: a deadline from accept to the whole request, a size cap, a cap on the
// connections one client (ClientKey) keeps waiting once they have had `settle` to
// send their request, and a cap on all waiting connections. Whoever is pushed out
// is the connection that has been silent the longest: a full room makes room for a
// newcomer, so many addresses filling it cannot lock anyone out, and a burst of
// quick clients from one address is never pushed out before it could send.
// On a TLS listener the handshake is part of the wait, under the same deadline and
// caps: a client that stalls its handshake is cut off like one that stalls its head.
// Each step of a handshake (the work of its cryptography) runs on one of
// `handshakers` threads of the gate's, never more at once, so handshakes use every
// core while the gate's thread goes on waiting for the others; a connection is not
// watched while its step runs and comes back to the room when it is done.
// A connection from one of the `relays` may begin with a PROXY protocol header
// (version 2, before any TLS) naming the client it carries: the gate reads it
// first and counts the connection as that client's from then on; a header that is
// not whole and valid drops the connection. Anyone else's header is just bytes.
// A connection whose answer is out may come back (Readopt) to wait for its client's
// next request under the same caps: silent for `idle`, it is closed without a word,
// and once the next request begins the deadline runs from there.
//
// Threads: Listen and Start on the owner's thread, Stop on any thread but the gate's
// own; Readopt on any thread; the check and the hand-over run on the gate's thread
// and must not block. `returningMutex_` guards the connections handed back,
// `shakeMutex_` the handshake steps on their way to and from the handshakers.
class ConnectionGate {
 public:
  struct Limits {
    size_t maxRequestBytes = 64 * 1024;  // more without a whole request: `tooLarge` reply
    std::chrono::milliseconds deadline{10000};
    // At most `perAddress` connections of one client may wait longer than `settle`
    // (not counting those whose bytes the gate has not read yet: a gate kept busy
    // by a burst of TLS handshakes would otherwise push out that burst's clients);
    // a handful of addresses cannot fill the room of `waiting`.
    size_t perAddress = 16;
    std::chrono::milliseconds settle{1000};
    size_t waiting = 1024;
    // How long a connection taken back may wait silent for its next request.
    std::chrono::milliseconds idle{5000};
    // Threads that run TLS handshake steps; 0: the gate's own thread runs them.
    size_t handshakers = 0;
    // Relays (numeric addresses) trusted to name their client in a PROXY header.
    std::vector<std::string> relays;
  };
  // What the server makes of the bytes received so far.
  struct Verdict {
    enum class Kind { kMore, kComplete, kRefuse };
    Kind kind = Kind::kMore;
    std::string reply;           // kRefuse: sent before closing
    bool sendContinue = false;   // kMore: the client waits for "100 Continue" (sent once)
  };
  using Check = std::function<Verdict(std::string_view received)>;
  // Receives the connection (still non-blocking, its TLS handshake done), the
  // numeric address it comes from, the client a trusted relay named for it (if
  // any), everything read from it after the relay's header, and how many requests
  // it brought before this one (see Readopt).
  using Handover = std::function<void(TcpConnection connection, const std::string& peer,
                                      const std::optional<std::string>& relayed, std::string received,
                                      size_t answered)>;
  struct Replies {
    std::string timedOut;  // deadline passed, or pushed out to make room
    std::string tooLarge;  // size cap reached
  };

  // Throws ServiceError when the system has no descriptors to spare.
  ConnectionGate(Limits limits, Check check, Handover handover, Replies replies);
  ~ConnectionGate();
  ConnectionGate(const ConnectionGate&) = delete;
  ConnectionGate& operator=(const ConnectionGate&) = delete;

  // Takes a listening socket (owned from now on); with `tls` (not owned, outlives
  // the gate) its clients speak TLS. Before Start.
  void Listen(int listenFd, const TlsServerContext* tls = nullptr);
  // Starts the gate's thread.
  void Start();
  // Closes the listening sockets and the waiting connections, and joins. Idempotent.
  void Stop();

  // Takes back a connection handed over before, its answer out, to wait for the
  // next request; `peer` and `relayed` as the hand-over gave them, `answered` the
  // requests it has brought so far. Closed at once when the gate is not running.
  // Any thread.
  void Readopt(TcpConnection connection, std::string peer, std::optional<std::string> relayed, size_t answered);

  // Connections waiting now; for tests and the status page. Any thread.
  size_t waiting() const { return waitingCount_.load(); }

 private:
  using Clock = std::chrono::steady_clock;
  struct Waiting {
    TcpConnection connection;
    std::string peer;
    std::string client;  // ClientKey(peer)
    std::string received;
    Clock::time_point since;
    Clock::time_point heard;  // the last bytes arrived (or accept)
    bool continued = false;
    bool awaitsWritable = false;  // TLS has to send before it can go on
    bool mayRelay = false;        // from a trusted relay, its header not read yet
    std::string relayHeader;      // what arrived of that header so far
    std::optional<std::string> relayed;  // the client the relay named
    size_t answered = 0;  // requests it brought before
    bool idle = false;    // taken back, and nothing of its next request came yet
  };
  // A connection whose handshake step runs on a handshaker, and how it ended.
  struct Shaking {
    int fd = -1;
    Waiting waiting;
    TlsSession::Wait wait = TlsSession::Wait::kNone;
  };
  struct Returning {
    TcpConnection connection;
    std::string peer;
    std::optional<std::string> relayed;
    size_t answered = 0;
  };

  void Turn(std::span<const epoll_event> ready, bool woken);
  void TakeReturning();
  // Hands the connection's next handshake step to the handshakers.
  void ShakeElsewhere(int fd);
  void Shake();
  void TakeShaken();
  void Accept(int listenFd);
  void Receive(int fd);
  void Drop(int fd, std::string_view reply);
  // One step of a TLS handshake that is not complete yet; false when the connection
  // was dropped or the step waits for the client.
  bool ShakeHands(int fd, Waiting& waiting);
  // Reads a trusted relay's PROXY header, if the connection starts with one; false
  // when the connection was dropped or the header is not whole yet.
  bool TakeRelayHeader(int fd, Waiting& waiting);
  // Waits on `fd` for it to become writable (TLS wants to send) or readable.
  void WatchFor(int fd, Waiting& waiting, bool writable);
  void DropExpired();
  // Pushes out the connection silent the longest.
  void PushOutIdlest();
  // Keeps each client at `perAddress` connections waiting past `settle`.
  void TrimClients();
  void PauseListeners(bool pause);

  const Limits limits_;
  const Check check_;
  const Handover handover_;
  const Replies replies_;
  std::vector<int> listenFds_;  // owned
  std::map<int, const TlsServerContext*> tlsOf_;  // listeners whose clients speak TLS
  EpollLoop loop_;
  std::atomic<size_t> waitingCount_{0};
  std::map<int, Waiting> waiting_;  // by descriptor; the gate's thread only
  bool listenersPaused_ = false;    // the gate's thread only
  Clock::time_point pausedSince_;   // the gate's thread only
  std::mutex returningMutex_;
  std::vector<Returning> returning_;  // guarded by returningMutex_
  size_t away_ = 0;                   // the gate's thread only: steps on the handshakers
  std::mutex shakeMutex_;
  std::condition_variable shakeReady_;
  std::deque<Shaking> toShake_;       // guarded by shakeMutex_
  std::vector<Shaking> shaken_;       // guarded by shakeMutex_
  bool shakersStopping_ = false;      // guarded by shakeMutex_
  std::vector<std::thread> shakers_;
};

}  // namespace tarvo::service
