#include "net/curl_easy_handle.h"

namespace tarvo {

CurlEasyHandle MakeCurlEasyHandle() {
  const CurlLibrary* curl = CurlLibrary::Opened();
  return curl != nullptr ? CurlEasyHandle(curl->EasyInit()) : CurlEasyHandle();
}

}  // namespace tarvo
