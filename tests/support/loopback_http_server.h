#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/text.h"

namespace tarvo::test {

// One request as the server received it.
struct ReceivedRequest {
  std::string method;
  std::string target;
  std::string head;  // request line and header lines, without the closing empty line
  std::string body;
  int connection = 0;  // which accepted connection carried it (1, 2, ...)
};

// What the server sends back, byte for byte, so tests can answer wrongly on purpose.
struct ScriptedReply {
  std::string head;  // sent as it stands (include the closing "\r\n\r\n" yourself)
  std::string body;
  uint64_t generatedBytes = 0;  // pattern bytes streamed after `body` (large bodies)
  uint64_t generatedFrom = 0;   // the pattern offset the streamed bytes start at
  uint64_t bytesPerSecond = 0;  // pace of the streamed bytes; 0: as fast as the client reads
  int delayMs = 0;              // pause before sending anything
  int pauseAfterHeadMs = 0;     // pause between head and body
  bool close = false;           // close the connection after sending
  int lingerBeforeCloseMs = 0;  // with close: pause before closing, reading nothing
};

// A plain-HTTP server on 127.0.0.1 (an ephemeral port) that answers each request with
// whatever the handler scripts. Keeps connections open between requests unless told
// to close. The handler runs on the server's connection threads.
class LoopbackHttpServer {
 public:
  using Handler = std::function<ScriptedReply(const ReceivedRequest&)>;

  explicit LoopbackHttpServer(Handler handler);
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  uint16_t port() const { return port_; }
  // "http://127.0.0.1:<port>" + path.
  std::string Url(const std::string& path) const;
  WString WideUrl(const std::string& path) const { return Utf8ToWide(Url(path)); }
  std::vector<ReceivedRequest> Requests() const;
  int connections() const { return connections_.load(); }

  // A 200 answer with Content-Length.
  static ScriptedReply Ok(const std::string& body, const std::string& extraHeaders = "");
  // The byte at `offset` of a generated body; it repeats only every 182 bytes, so a
  // body resumed at a wrong offset shows.
  static char PatternByte(uint64_t offset) { return static_cast<char>('a' + (offset / 7 + offset) % 26); }
  // True when the file at `path` holds exactly the first `size` bytes of the pattern.
  static bool HoldsPattern(const std::string& path, uint64_t size);

 private:
  void AcceptLoop();
  void Serve(int fd, int number);
  bool ReadRequest(int fd, std::string& pending, ReceivedRequest& request);
  bool Send(int fd, const std::string& data);
  bool SendGenerated(int fd, const ScriptedReply& reply);
  // Sleeps, waking early when the server stops; false when it stopped.
  bool Pause(int ms);

  Handler handler_;
  int listenFd_ = -1;
  int wakeFds_[2] = {-1, -1};
  uint16_t port_ = 0;
  std::atomic<bool> stopping_ = false;
  std::atomic<int> connections_ = 0;
  mutable std::mutex mutex_;  // guards requests_, openFds_, workers_
  std::condition_variable stopped_;
  std::vector<ReceivedRequest> requests_;
  std::vector<int> openFds_;
  std::vector<std::thread> workers_;
  std::thread acceptor_;
};

}  // namespace tarvo::test
