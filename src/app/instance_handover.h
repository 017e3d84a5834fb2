#pragma once
// One browser process per data root. Qt WebEngine keeps its cookie and storage
// databases open for the whole run; a second process on the same folder gets
// "database is locked" and silently loses what it writes. So the first process
// takes an exclusive lock in the data root and listens on a local socket; a later
// process hands its addresses to it and ends.
//
// Protocol: the client writes one line of compact JSON {"urls":["...", ...]}, with
// "window":true when the addresses want a window of their own, and waits for the
// line "ok". Anything else (garbage, nothing, an oversized line) is
// dropped without an answer.
//
// Threads: GUI thread only (the server's sockets live in its event loop). Owns the
// lock's file descriptor, the server and its connections.
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/text.h"

class QLocalServer;
class QLocalSocket;

namespace tarvo {

class InstanceHandover {
 public:
  enum class Role {
    kPrimary,     // this process owns the data root and serves later processes
    kHandedOver,  // the running process took the addresses; this one should end
    kNoAnswer,    // another process holds the data root but never answered
  };
  // `newWindow`: the later process was asked for a new window.
  using Receiver = std::function<void(std::vector<WString> urls, bool newWindow)>;

  // `dataRoot` ends in "/"; the lock file is created inside it.
  explicit InstanceHandover(std::string dataRoot);
  ~InstanceHandover();
  InstanceHandover(const InstanceHandover&) = delete;
  InstanceHandover& operator=(const InstanceHandover&) = delete;

  // Becomes the primary process, or hands `urls` to the primary one. Waits up to
  // `patienceMs` for a primary that holds the lock but is not listening yet (it may
  // be starting at this very moment). A data root whose lock file cannot be created
  // makes this process primary without a server: start-up then fails on its own
  // terms. Call once, after the QCoreApplication exists.
  Role Claim(const std::vector<WString>& urls, int patienceMs = 20000, bool newWindow = false);

  // Primary only: where handed-over addresses go. Addresses that arrived before a
  // receiver was set are delivered at once, in order.
  void SetReceiver(Receiver receiver);

  // Primary only: stops accepting hand-overs (the browser is closing). Later
  // processes then wait for the lock and start on their own once it is free.
  void StopServing();

  // The local socket name for a data root: per user and per data root.
  static QString ServerName(const std::string& dataRoot);

  // The client side alone: sends `urls` to the server `name` and waits for the
  // acknowledgement. True when the server answered "ok".
  static bool SendUrls(const QString& name, const std::vector<WString>& urls, int timeoutMs,
                       bool newWindow = false);

 private:
  bool TryLock();
  bool Listen();
  void OnNewConnection();
  void OnReadable(QLocalSocket* socket);
  struct Request {
    std::vector<WString> urls;
    bool newWindow = false;
  };
  void Deliver(Request request);

  const std::string dataRoot_;
  int lockFd_ = -1;  // owned; the exclusive flock lives as long as it is open
  std::unique_ptr<QLocalServer> server_;
  Receiver receiver_;
  std::vector<Request> pending_;  // arrivals before SetReceiver
};

}  // namespace tarvo
