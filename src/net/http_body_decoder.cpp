#include "net/http_body_decoder.h"

#include <algorithm>
#include <charconv>

namespace tarvo {

namespace {

// A size or trailer line longer than this is not from a sane server.
constexpr size_t kMaxLine = 4096;

}  // namespace

size_t HttpBodyDecoder::Feed(std::string_view data, const Sink& sink) {
  if (state_ == State::kDone || state_ == State::kError) {
    return 0;
  }
  switch (framing_) {
    case Framing::kUntilClose:
      if (!data.empty()) {
        sink(data);
      }
      return data.size();
    case Framing::kLength: {
      const size_t take = static_cast<size_t>(std::min<uint64_t>(remaining_, data.size()));
      if (take > 0) {
        sink(data.substr(0, take));
      }
      remaining_ -= take;
      if (remaining_ == 0) {
        state_ = State::kDone;
      }
      return take;
    }
    case Framing::kChunked:
      return FeedChunked(data, sink);
  }
  return 0;
}

bool HttpBodyDecoder::TakeLine(std::string_view& data, size_t& consumed) {
  const size_t end = data.find('\n');
  const size_t take = end == std::string_view::npos ? data.size() : end + 1;
  line_.append(data.substr(0, take));
  data.remove_prefix(take);
  consumed += take;
  if (line_.size() > kMaxLine) {
    state_ = State::kError;
    return false;
  }
  return end != std::string_view::npos;
}

void HttpBodyDecoder::OnSizeLine() {
  std::string_view text = line_;
  text = text.substr(0, text.find_first_of(";\r\n"));
  uint64_t size = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size, 16);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    state_ = State::kError;
    return;
  }
  remaining_ = size;
  state_ = size == 0 ? State::kTrailer : State::kData;
}

size_t HttpBodyDecoder::FeedChunked(std::string_view data, const Sink& sink) {
  size_t consumed = 0;
  while (!data.empty() && state_ != State::kDone && state_ != State::kError) {
    switch (state_) {
      case State::kSizeLine:
        if (TakeLine(data, consumed)) {
          OnSizeLine();
          line_.clear();
        }
        break;
      case State::kData: {
        const size_t take = static_cast<size_t>(std::min<uint64_t>(remaining_, data.size()));
        sink(data.substr(0, take));
        data.remove_prefix(take);
        consumed += take;
        remaining_ -= take;
        if (remaining_ == 0) {
          state_ = State::kDataEnd;
        }
        break;
      }
      case State::kDataEnd:
        if (TakeLine(data, consumed)) {
          state_ = (line_ == "\r\n" || line_ == "\n") ? State::kSizeLine : State::kError;
          line_.clear();
        }
        break;
      case State::kTrailer:
        if (TakeLine(data, consumed)) {
          if (line_ == "\r\n" || line_ == "\n") {
            state_ = State::kDone;
          }
          line_.clear();
        }
        break;
      case State::kDone:
      case State::kError:
        break;
    }
  }
  return consumed;
}

}  // namespace tarvo
