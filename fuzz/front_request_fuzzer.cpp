// What a client sends the service's HTTP front: the gate's verdict on the bytes so far
// and, for a whole request, the parsed request. A request the gate calls whole is one
// the parser can read or refuses, never one that breaks it.
#include "fuzz_support.h"
#include "service/front_request.h"

using tarvo::service::FrontRequest;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view received = tarvo::fuzz::AsText(data, size);
  const FrontRequest::Progress progress = FrontRequest::Check(received, 1024);
  if (progress.kind == tarvo::service::ConnectionGate::Verdict::Kind::kRefuse &&
      (progress.status < 400 || progress.status > 499)) {
    tarvo::fuzz::Fail("a refusal without a client error status");
  }
  if (const std::optional<FrontRequest> request = FrontRequest::Parse(received, "127.0.0.1:1")) {
    (void)request->Header("Content-Type");
    if (request->JoinedHeader("X-Forwarded-For").size() > received.size() * 2) {
      tarvo::fuzz::Fail("the joined lines hold more than the request");
    }
    if (request->body().size() > received.size()) {
      tarvo::fuzz::Fail("a body longer than the request");
    }
  }
  return 0;
}
