#pragma once

#include "net/i_http_base.h"

namespace tarvo {

// The plain-socket HTTP client's interface.
class ISocketHttp : public IHttpBase {
 public:
  // Dotted-quad text of the last host connected to (empty before any connection);
  // valid until the next operation on the object.
  virtual const char16_t* GetIpAddr() = 0;

 protected:
  ~ISocketHttp() = default;
};

}  // namespace tarvo
