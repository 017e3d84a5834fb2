#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tcp_connection.h"

namespace tarvo::service {

// Waits for requests on behalf of a server. It accepts connections on the listening
// sockets it is given and reads what each client sends, all on one thread, until the
// server's check finds a whole request; only then is the connection handed over. A
// slow or idle client therefore holds a little memory and no worker, and within
// bounds: a deadline from accept to the whole request, a size cap, a cap on the
// connections waiting from one address (a new one from that address pushes out its
// oldest, so one client cannot lock others out) and on all waiting connections.
//
// Threads: Listen and Start on the owner's thread, Stop on any thread but the gate's
// own; the check and the hand-over run on the gate's thread and must not block.
class ConnectionGate {
 public:
  struct Limits {
    size_t maxRequestBytes = 64 * 1024;  // more without a whole request: `tooLarge` reply
    std::chrono::milliseconds deadline{10000};
    size_t perAddress = 64;
    size_t waiting = 1024;
  };
  // What the server makes of the bytes received so far.
  struct Verdict {
    enum class Kind { kMore, kComplete, kRefuse };
    Kind kind = Kind::kMore;
    std::string reply;           // kRefuse: sent before closing
    bool sendContinue = false;   // kMore: the client waits for "100 Continue" (sent once)
  };
  using Check = std::function<Verdict(std::string_view received)>;
  // Receives the connection (blocking again), the client's numeric address and
  // everything read from it.
  using Handover = std::function<void(TcpConnection connection, const std::string& peer, std::string received)>;
  struct Replies {
    std::string timedOut;  // deadline passed
    std::string tooLarge;  // size cap reached
  };

  ConnectionGate(Limits limits, Check check, Handover handover, Replies replies);
  ~ConnectionGate();
  ConnectionGate(const ConnectionGate&) = delete;
  ConnectionGate& operator=(const ConnectionGate&) = delete;

  // Takes a listening socket (owned from now on). Before Start.
  void Listen(int listenFd);
  // Starts the gate's thread. Throws ServiceError when it cannot.
  void Start();
  // Closes the listening sockets and the waiting connections, and joins. Idempotent.
  void Stop();

  // Connections waiting now; for tests and the status page. Any thread.
  size_t waiting() const { return waitingCount_.load(); }

 private:
  struct Waiting {
    TcpConnection connection;
    std::string peer;
    std::string received;
    std::chrono::steady_clock::time_point since;
    bool continued = false;
  };

  void Run();
  void Accept(int listenFd);
  void Receive(int fd);
  void Drop(int fd, std::string_view reply);
  void DropExpired();
  void MakeRoomFor(const std::string& peer);
  void PauseListeners(bool pause);

  const Limits limits_;
  const Check check_;
  const Handover handover_;
  const Replies replies_;
  std::vector<int> listenFds_;  // owned
  int epollFd_ = -1;            // owned
  int wakeFd_ = -1;             // owned; written by Stop
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<size_t> waitingCount_{0};
  std::map<int, Waiting> waiting_;  // by descriptor; the gate's thread only
  bool listenersPaused_ = false;    // the gate's thread only
  std::chrono::steady_clock::time_point pausedSince_;  // the gate's thread only
};

}  // namespace tarvo::service
