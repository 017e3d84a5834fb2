// The envelope of every service reply and the never-throwing member readers the
// features use on its "data", applied to every member the reply holds.
#include <json/json.h>

#include "fuzz_support.h"
#include "net/service_reply.h"

using tarvo::ServiceReply;

namespace {

void ReadMembers(const Json::Value& value, int depth) {
  if (depth > 3 || !value.isObject()) {
    if (value.isArray() && depth <= 3) {
      for (const Json::Value& element : value) {
        ReadMembers(element, depth + 1);
      }
    }
    return;
  }
  for (const std::string& name : value.getMemberNames()) {
    (void)ServiceReply::ReadString(value, name);
    (void)ServiceReply::ReadInt(value, name);
    (void)ServiceReply::ReadBool(value, name);
    ReadMembers(value[name], depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::optional<ServiceReply> reply = ServiceReply::Parse(tarvo::fuzz::AsText(data, size));
  if (reply) {
    (void)reply->succeeded();
    ReadMembers(reply->data(), 0);
    // The readers on "data" itself, whatever it is (a number, an array, null).
    (void)ServiceReply::ReadInt(reply->data(), "code");
    (void)ServiceReply::ReadString(reply->data(), "msg");
    (void)ServiceReply::ReadBool(reply->data(), "on");
  }
  return 0;
}
