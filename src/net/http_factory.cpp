#include "net/http_factory.h"

#include "net/http_socket.h"
#include "net/win_http.h"
#include "net/wininet_http.h"

namespace tarvo {

bool CreateInstance(IHttpBase** out, int32_t kind) {
  if (out == nullptr) {
    return false;
  }
  switch (kind) {
    case kHttpClientSocket:
      *out = new CHttpSocket();
      return true;
    case kHttpClientWininet:
      *out = new CWininetHttp();
      return true;
    case kHttpClientWinHttp:
      *out = new CWinHttp();
      return true;
    default:
      *out = nullptr;
      return false;
  }
}

}  // namespace tarvo
