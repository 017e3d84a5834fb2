#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/http_header.h"
#include "net/i_http.h"
#include "net/i_socket_http.h"
#include "net/socket_connection.h"
#include "net/transfer_limits.h"

namespace tarvo {

class HttpBodyDecoder;
class HttpUrl;

// HTTP/1.1 spoken directly over a TCP socket, plain HTTP only: an "https://" address
// is refused with kHttpErrorConnect rather than sent as plain text. Bodies of announced
// length, chunked bodies and bodies that end with the connection are understood; an
// answer announcing both a length and chunked coding cannot be framed safely and is
// refused (kHttpErrorHeader). Redirects are followed (on the same connection when host
// and port stay) up to ten hops; a kept connection the server has closed meanwhile is
// replaced by a new one. Bounds (TransferLimits::ForSocketClient by default): each
// wait for data (stallMs); everything up to the final answer's head, and an in-memory
// download as a whole (requestTotalMs; a file download's body only by the stall bound,
// as a large file may take long); the in-memory body (maxTextBytes) and the downloaded
// file (maxDownloadBytes). Made by CreateInstance (kind 0); one thread at a time,
// released with FreeInstance.
class CHttpSocket final : public ISocketHttp, private IHttp {
 public:
  using CHttpHeader = tarvo::CHttpHeader;

  // Bytes received at a time by DownloadFile and by DownloadToMem.
  static constexpr size_t kFileBlock = 8 * 1024 * 1024;
  static constexpr size_t kMemoryBlock = 4096;

  CHttpSocket() = default;
  virtual ~CHttpSocket() = default;

  void SetDownloadCallBack(IHttpCallback* callback, uint32_t context) override;
  bool DownloadFile(const WString& url, const WString& filePath) override;
  bool DownloadToMem(const WString& url, uint8_t** outBuffer, uint32_t* outLength) override;
  void FreeInstance() override;
  HttpInterfaceError GetErrorCode() override;
  const char16_t* GetIpAddr() override;

  // Replaces the bounds; for operators and tests that need others than the defaults.
  // DownloadToMem accepts announced lengths from 1 byte to maxTextBytes.
  void SetLimits(const TransferLimits& limits) { limits_ = limits; }

 private:
  using HeadCheck = std::function<void(const CHttpHeader&)>;
  using BodySink = std::function<void(std::string_view)>;

  // Sends GET requests for `url`, following redirects, until a final response
  // arrives; hands its head to `checkHead` and its body to `sink`. Throws
  // HttpInterfaceError values.
  // The whole body falls under the deadline when `deadlineCoversBody`.
  void Fetch(const WString& url, HttpInterfaceError noHeaderEnd, bool deadlineCoversBody, const HeadCheck& checkHead,
             const BodySink& sink);
  // Sends `request` and reads the answer's head: on the kept connection to the host
  // when there is one, and on a new one when there is none or the server closed the
  // kept one before answering.
  CHttpHeader Exchange(const HttpUrl& url, const std::string& request, HttpInterfaceError noHeaderEnd);
  CHttpHeader ReadHead(HttpInterfaceError noHeaderEnd);
  void ReadBody(HttpBodyDecoder& decoder, const BodySink& sink, std::optional<uint64_t> total);
  // Reads past a redirect's body so the connection can carry the next request.
  void SkipBody(HttpBodyDecoder& decoder);
  size_t ReceiveMore();

  SocketConnection connection_;
  WString ipText_;
  TransferLimits limits_ = TransferLimits::ForSocketClient();
  // When the running operation must have ended (none while a file body downloads).
  std::optional<std::chrono::steady_clock::time_point> deadline_;
  size_t receiveBlock_ = kFileBlock;
  std::vector<char> buffer_;
  // Bytes received but not consumed yet: the start of a body, or of the next response.
  std::string pending_;
};

}  // namespace tarvo
