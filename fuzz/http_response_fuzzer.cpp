// The socket client's reading of an answer: the head parser, then the body decoder in
// every framing, fed in pieces whose sizes the input chooses. Properties: the decoder
// never consumes more than it was given, and a length-framed body hands over exactly
// the announced bytes.
#include <algorithm>

#include "fuzz_support.h"
#include "net/http_body_decoder.h"
#include "net/http_header.h"

using tarvo::CHttpHeader;
using tarvo::HttpBodyDecoder;

namespace {

// Feeds `body` in pieces of 1 + (step byte % 64) bytes (4 KiB without steps), keeping unconsumed bytes for
// the next round as the client does; returns the bytes handed to the sink.
uint64_t Decode(HttpBodyDecoder& decoder, std::string_view body, std::string_view steps) {
  uint64_t delivered = 0;
  const auto sink = [&delivered](std::string_view data) { delivered += data.size(); };
  std::string pending;
  size_t step = 0;
  while (!body.empty() && !decoder.complete() && !decoder.malformed()) {
    const size_t piece = steps.empty() ? 4096 : 1 + static_cast<unsigned char>(steps[step++ % steps.size()]) % 64;
    const size_t take = std::min(body.size(), piece);
    pending.append(body.substr(0, take));
    body.remove_prefix(take);
    const size_t used = decoder.Feed(pending, sink);
    if (used > pending.size()) {
      tarvo::fuzz::Fail("the decoder consumed more than it was given");
    }
    pending.erase(0, used);
  }
  return delivered;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input = tarvo::fuzz::AsText(data, size);
  const size_t headEnd = input.find("\r\n\r\n");
  const std::string_view head = input.substr(0, headEnd);
  const std::string_view rest = headEnd == std::string_view::npos ? std::string_view() : input.substr(headEnd + 4);
  // The last 8 bytes after the head choose the piece sizes.
  const size_t stepBytes = std::min<size_t>(8, rest.size());
  const std::string_view body = rest.substr(0, rest.size() - stepBytes);
  const std::string_view steps = rest.substr(rest.size() - stepBytes);

  CHttpHeader header;
  if (header.Parse(head)) {
    (void)header.Field("Location");
    (void)header.chunked();
  }
  HttpBodyDecoder chunked(HttpBodyDecoder::Framing::kChunked, 0);
  Decode(chunked, body, steps);
  HttpBodyDecoder untilClose(HttpBodyDecoder::Framing::kUntilClose, 0);
  if (Decode(untilClose, body, steps) != body.size()) {
    tarvo::fuzz::Fail("a body that runs until the close lost bytes");
  }
  const uint64_t announced = header.contentLength().value_or(body.size() / 2);
  HttpBodyDecoder length(HttpBodyDecoder::Framing::kLength, announced);
  if (Decode(length, body, steps) != std::min<uint64_t>(announced, body.size())) {
    tarvo::fuzz::Fail("a body of announced length was not handed over exactly");
  }
  return 0;
}
