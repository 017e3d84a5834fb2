#pragma once
// A loopback HTTP server for download tests and benchmarks: files of any size made
// of a known byte pattern (nothing is held in memory), served fast or throttled,
// with or without byte ranges and validators, dropping the first connection part-way,
// or announcing a length it does not keep; plus small pages that may set a cookie.
// Every request is recorded with its Range, If-Range and Cookie headers.
//
// Threads: an accepting thread and one thread per connection; the recorded requests
// are guarded by mutex_. Lifetime: the destructor closes every connection and joins
// the threads.
#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarvo::test {

class RangeFileServer {
 public:
  // What a file's answer announces as its length.
  enum class Length {
    kExact,     // the bytes it sends
    kMore,      // 1 MiB more than it sends, then the connection closes
    kNone,      // nothing: the body ends when the connection closes
  };

  struct File {
    uint64_t size = 0;
    std::string etag;            // empty: no ETag
    std::string lastModified;    // empty: no Last-Modified
    bool ranges = true;          // honours Range (with a matching If-Range)
    bool ignoresIfRange = false; // answers a Range with a part whatever If-Range says
    uint64_t bytesPerSecond = 0; // 0: as fast as the client reads
    uint64_t dropFirstAfter = 0; // > 0: the first answer closes after this many body bytes
    Length length = Length::kExact;
    std::string fileName;        // Content-Disposition attachment name; empty: none
  };

  struct Request {
    std::string path;
    std::string range;
    std::string ifRange;
    std::string cookie;
  };

  RangeFileServer();
  ~RangeFileServer();
  RangeFileServer(const RangeFileServer&) = delete;
  RangeFileServer& operator=(const RangeFileServer&) = delete;

  // The byte at `offset` of every served file.
  static char ByteAt(uint64_t offset);
  // True when the file at `path` holds exactly the first `size` bytes of the pattern.
  static bool HoldsPattern(const std::string& path, uint64_t size);

  // Serves `file` at `path` (replacing what was there).
  void Serve(const std::string& path, File file);
  // Serves a small HTML page at `path`, with a Set-Cookie header when given.
  void ServePage(const std::string& path, std::string html, std::string setCookie = {});

  int port() const { return port_; }
  std::string Url(const std::string& path) const;
  std::vector<Request> RequestsFor(const std::string& path) const;

 private:
  struct Page {
    std::string html;
    std::string setCookie;
  };

  void AcceptLoop();
  void Handle(int fd);
  void SendFile(int fd, const std::string& path, const File& file, const Request& request);
  void SendPage(int fd, const Page& page);
  void Forget(int fd);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::map<std::string, File> files_;       // guarded by mutex_
  std::map<std::string, Page> pages_;       // guarded by mutex_
  std::map<std::string, int> answered_;     // guarded by mutex_: answers per file path
  std::vector<Request> requests_;           // guarded by mutex_
  std::vector<int> open_;                   // guarded by mutex_: connections being served
  std::vector<std::thread> connections_;    // guarded by mutex_
};

}  // namespace tarvo::test
