#pragma once

#include <cstdint>
#include <memory>

#include "net/i_http_base.h"

namespace tarvo {

// Kinds CreateInstance understands.
enum HttpClientKind : int32_t {
  kHttpClientSocket = 0,   // CHttpSocket
  kHttpClientWininet = 1,  // CWininetHttp
  kHttpClientWinHttp = 2,  // CWinHttp, time-outs 5000 ms each
};

// Makes a client of `kind` and stores it in `*out` (the caller releases it with
// FreeInstance); any other kind stores null and returns false. Any thread.
bool CreateInstance(IHttpBase** out, int32_t kind);

// Releases a client through FreeInstance, for owning it in a std::unique_ptr.
struct HttpClientReleaser {
  void operator()(IHttpBase* client) const { client->FreeInstance(); }
};
template <class Interface>
using HttpClientPtr = std::unique_ptr<Interface, HttpClientReleaser>;

// CreateInstance as an owning pointer to the interface of that kind (ISocketHttp,
// IWininetHttp or IWinHttp); null for an unknown kind.
template <class Interface>
HttpClientPtr<Interface> MakeHttpClient(HttpClientKind kind) {
  IHttpBase* client = nullptr;
  if (!CreateInstance(&client, kind)) {
    return nullptr;
  }
  return HttpClientPtr<Interface>(static_cast<Interface*>(client));
}

}  // namespace tarvo
