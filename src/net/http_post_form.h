#pragma once

#include <string>

#include "net/form_body.h"
#include "net/service_reply.h"
#include "platform/text.h"

namespace tarvo {

// Posts `body` (a form, see FormBody) to `url` with the service client (kind 1) made
// for this call, as "Content-Type: application/x-www-form-urlencoded". Stores the
// reply text and returns 0, or returns -1 when the request failed or the reply was
// empty (also with status 200). Blocks for at most 30 s; any thread.
int HttpPostForm(std::string& replyText, const WString& url, const WString& body);

// The address of a service endpoint: the "app/apiurl" setting with `path` appended as
// it stands (the setting ends in "/").
WString ServiceAddress(WStringView path);

// Posts `body` to the endpoint `path` and parses the envelope: 0 with `reply` filled
// (whatever its "code"; the endpoint decides what its codes mean), or -1 on a transport
// failure, an empty reply or a reply that is not a JSON object. Blocking; any thread.
int CallService(WStringView path, const FormBody& body, ServiceReply& reply);

}  // namespace tarvo
