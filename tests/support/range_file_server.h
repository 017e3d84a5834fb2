#pragma once
// A loopback HTTP server for download tests and benchmarks: files of any size made
// of a known byte pattern (nothing is held in memory), served fast or throttled,
// with or without byte ranges and validators, dropping the first connection part-way,
// or announcing a length it does not keep; plus small pages that may set a cookie.
// Every request is recorded with its Range, If-Range and Cookie headers.
// Its answers are scripted for a LoopbackHttpServer, on whose threads they are made;
// the files and pages are guarded by mutex_.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "support/loopback_http_server.h"

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

  RangeFileServer() : server_([this](const ReceivedRequest& request) { return Answer(request); }) {}

  // The byte at `offset` of every served file.
  static char ByteAt(uint64_t offset) { return LoopbackHttpServer::PatternByte(offset); }
  // True when the file at `path` holds exactly the first `size` bytes of the pattern.
  static bool HoldsPattern(const std::string& path, uint64_t size) {
    return LoopbackHttpServer::HoldsPattern(path, size);
  }

  // Serves `file` at `path` (replacing what was there).
  void Serve(const std::string& path, File file);
  // Serves a small HTML page at `path`, with a Set-Cookie header when given.
  void ServePage(const std::string& path, std::string html, std::string setCookie = {});

  int port() const { return server_.port(); }
  std::string Url(const std::string& path) const { return server_.Url(path); }
  std::vector<Request> RequestsFor(const std::string& path) const;

 private:
  struct Page {
    std::string html;
    std::string setCookie;
  };

  ScriptedReply Answer(const ReceivedRequest& received);
  ScriptedReply FileAnswer(const File& file, bool first, const Request& request) const;

  mutable std::mutex mutex_;
  std::map<std::string, File> files_;    // guarded by mutex_
  std::map<std::string, Page> pages_;    // guarded by mutex_
  std::map<std::string, int> answered_;  // guarded by mutex_: answers per file path
  std::vector<Request> requests_;        // guarded by mutex_
  LoopbackHttpServer server_;            // last: it stops before what its answers read goes
};

}  // namespace tarvo::test
