#include "update/launch_report.h"

#include "net/http_post_form.h"
#include "platform/debug_output.h"

namespace tarvo {

int LaunchReport::Send() {
  if (answered_) return result_;
  const FormBody body =
      FormBody().Add("brand", brand_).Add("platform", std::string_view("PC")).Add("clientversion", ownVersion_);
  ServiceReply reply;
  if (CallService(u"app/v1.0/log_client_launch", body, reply) != 0) {
    DebugOutput("launch report: no answer; tried again on the next round");
    return -1;
  }
  result_ = reply.succeeded() ? 0 : -1;
  answered_ = true;
  if (result_ != 0) DebugOutput("launch report refused: " + reply.message());
  return result_;
}

}  // namespace tarvo
