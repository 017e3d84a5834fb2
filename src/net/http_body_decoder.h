#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tarvo {

// Finds the body of one HTTP/1.1 response in the bytes that follow its head: a body
// of announced length, a chunked body (chunk framing removed) or a body that runs
// until the connection closes. Used by one thread.
class HttpBodyDecoder {
 public:
  enum class Framing { kLength, kChunked, kUntilClose };
  using Sink = std::function<void(std::string_view)>;

  // `length` is the announced length (used with kLength only).
  HttpBodyDecoder(Framing framing, uint64_t length)
      : framing_(framing),
        remaining_(length),
        state_(framing == Framing::kLength && length == 0 ? State::kDone : State::kSizeLine) {}

  // Passes the body bytes within `data` to `sink` and returns how many input bytes
  // belong to this response; bytes past the end belong to whatever follows it.
  // After a framing error malformed() is true and nothing more is consumed.
  size_t Feed(std::string_view data, const Sink& sink);

  // The body reached its end (never for a body that runs until the connection closes).
  bool complete() const { return state_ == State::kDone; }
  bool malformed() const { return state_ == State::kError; }
  Framing framing() const { return framing_; }

 private:
  enum class State { kSizeLine, kData, kDataEnd, kTrailer, kDone, kError };

  size_t FeedChunked(std::string_view data, const Sink& sink);
  // Collects one "\r\n"-terminated line; true once it is complete.
  bool TakeLine(std::string_view& data, size_t& consumed);
  void OnSizeLine();

  Framing framing_;
  uint64_t remaining_ = 0;
  State state_ = State::kSizeLine;
  std::string line_;
};

}  // namespace tarvo
