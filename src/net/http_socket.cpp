#include "net/http_socket.h"

#include <cctype>
#include <cstring>

#include "net/body_buffer.h"
#include "net/http_body_decoder.h"
#include "net/http_url.h"
#include "net/socket_request_header.h"
#include "net/target_file.h"

namespace tarvo {

namespace {

constexpr int kMaxRedirects = 10;
// A head larger than this is not from a sane server.
constexpr size_t kMaxHead = 64 * 1024;

HttpBodyDecoder MakeDecoder(const CHttpHeader& head) {
  if (head.chunked()) {
    return HttpBodyDecoder(HttpBodyDecoder::Framing::kChunked, 0);
  }
  if (head.contentLength()) {
    return HttpBodyDecoder(HttpBodyDecoder::Framing::kLength, *head.contentLength());
  }
  return HttpBodyDecoder(HttpBodyDecoder::Framing::kUntilClose, 0);
}

bool KeepsConnection(const CHttpHeader& head, const HttpBodyDecoder& decoder) {
  if (decoder.framing() == HttpBodyDecoder::Framing::kUntilClose) {
    return false;
  }
  std::string connection = head.Field("Connection");
  for (char& c : connection) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return connection.find("close") == std::string::npos && std::strcmp(head.protocol(), "HTTP/1.0") != 0;
}

}  // namespace

void CHttpSocket::SetDownloadCallBack(IHttpCallback* callback, uint32_t context) { StoreCallback(callback, context); }

void CHttpSocket::FreeInstance() { delete this; }

HttpInterfaceError CHttpSocket::GetErrorCode() { return error_; }

const char16_t* CHttpSocket::GetIpAddr() { return ipText_.c_str(); }

bool CHttpSocket::DownloadFile(const WString& url, const WString& filePath) {
  error_ = kHttpErrorNone;
  receiveBlock_ = kFileBlock;
  try {
    // Created only once a usable answer is known, so a refused download leaves no file.
    std::optional<TargetFile> file;
    Fetch(
        url, kHttpErrorHeader, [&](const CHttpHeader&) { file.emplace(WideToUtf8(filePath), false); },
        [&file](std::string_view data) { file->Write(data); });
    file->Commit();
    return true;
  } catch (HttpInterfaceError error) {
    error_ = error;
    connection_.Close();
    return false;
  }
}

bool CHttpSocket::DownloadToMem(const WString& url, uint8_t** outBuffer, uint32_t* outLength) {
  error_ = kHttpErrorNone;
  *outBuffer = nullptr;
  *outLength = 0;
  receiveBlock_ = kMemoryBlock;
  try {
    std::optional<BodyBuffer> body;
    const auto checkHead = [&body](const CHttpHeader& head) {
      const std::optional<uint64_t> length = head.contentLength();
      if (!length || *length == 0 || *length > kMaxMemoryBody) {
        throw kHttpErrorBadLength;
      }
      body.emplace(*length);
    };
    Fetch(url, kHttpErrorNoHeaderEnd, checkHead, [&body](std::string_view data) { body->Append(data); });
    body->Release(outBuffer, outLength);
    return true;
  } catch (HttpInterfaceError error) {
    error_ = error;
    connection_.Close();
    return false;
  }
}

void CHttpSocket::Fetch(const WString& url, HttpInterfaceError noHeaderEnd, const HeadCheck& checkHead,
                        const BodySink& sink) {
  std::optional<HttpUrl> current = HttpUrl::Parse(url);
  buffer_.resize(receiveBlock_ + 1);
  for (int hop = 0;; ++hop) {
    // Plain text must never go to an address the user expects to be private.
    if (!current || current->secure()) {
      throw kHttpErrorConnect;
    }
    SocketRequestHeader record;
    if (!record.Fill(current->host(), current->RequestTarget())) {
      throw kHttpErrorSend;
    }
    if (!connection_.ConnectedTo(current->host(), current->port())) {
      pending_.clear();
      connection_.Connect(current->host(), current->port(), limits_.connectMs, limits_.stallMs);
      ipText_ = AsciiToWide(connection_.address());
    }
    connection_.SendAll(record.ToText());

    const CHttpHeader head = ReadHead(noHeaderEnd);
    const int32_t status = head.status();
    // Error pages are not the resource asked for; saving one as the download would
    // report a failure as success.
    if (status >= 400) {
      throw kHttpErrorNotFound;
    }
    HttpBodyDecoder decoder = MakeDecoder(head);
    if (status > 300 && status < 400) {
      const std::string location = head.Field("Location");
      if (location.empty()) {
        throw kHttpErrorHeader;
      }
      if (hop >= kMaxRedirects) {
        throw kHttpErrorNotFound;
      }
      const std::optional<HttpUrl> next = current->Resolve(location);
      if (KeepsConnection(head, decoder) && next && next->host() == current->host() &&
          next->port() == current->port()) {
        SkipBody(decoder);
      } else {
        connection_.Close();
      }
      current = next;
      continue;
    }
    checkHead(head);
    ReadBody(decoder, sink, head.contentLength());
    if (!KeepsConnection(head, decoder)) {
      connection_.Close();
    }
    return;
  }
}

size_t CHttpSocket::ReceiveMore() {
  if (CancelRequested()) {
    throw kHttpErrorCancelled;
  }
  const size_t received = connection_.Receive(buffer_.data(), receiveBlock_);
  pending_.append(buffer_.data(), received);
  return received;
}

CHttpSocket::CHttpHeader CHttpSocket::ReadHead(HttpInterfaceError noHeaderEnd) {
  size_t end = std::string::npos;
  size_t searchFrom = 0;
  while ((end = pending_.find("\r\n\r\n", searchFrom)) == std::string::npos) {
    if (pending_.size() > kMaxHead) {
      throw noHeaderEnd;
    }
    searchFrom = pending_.size() < 3 ? 0 : pending_.size() - 3;
    if (ReceiveMore() == 0) {
      // The connection ended inside the head: nothing of the response is usable.
      throw noHeaderEnd;
    }
  }
  if (end > kMaxHead) {
    throw noHeaderEnd;
  }
  CHttpHeader head;
  if (!head.Parse(std::string_view(pending_).substr(0, end))) {
    throw kHttpErrorHeader;
  }
  pending_.erase(0, end + 4);
  return head;
}

void CHttpSocket::ReadBody(HttpBodyDecoder& decoder, const BodySink& sink, std::optional<uint64_t> total) {
  double done = 0;
  const auto countAndStore = [&](std::string_view data) {
    sink(data);
    done += static_cast<double>(data.size());
  };
  const double announced = total ? static_cast<double>(*total) : 0.0;
  for (;;) {
    const size_t used = decoder.Feed(pending_, countAndStore);
    pending_.erase(0, used);
    if (decoder.malformed()) {
      throw kHttpErrorReadBody;
    }
    if (decoder.complete()) {
      // Bytes past the announced length mean the length was wrong, and the body with it.
      if (!pending_.empty()) {
        throw kHttpErrorReadBody;
      }
      break;
    }
    if (used > 0) {
      ReportProgress(IHttpCallback::kStateReceiving, announced, done);
    }
    if (ReceiveMore() == 0) {
      if (decoder.framing() != HttpBodyDecoder::Framing::kUntilClose) {
        throw kHttpErrorReadBody;
      }
      break;
    }
  }
  ReportProgress(IHttpCallback::kStateReceiving, announced, done);
  ReportProgress(IHttpCallback::kStateComplete, total ? announced : done, done);
}

void CHttpSocket::SkipBody(HttpBodyDecoder& decoder) {
  const auto discard = [](std::string_view) {};
  for (;;) {
    pending_.erase(0, decoder.Feed(pending_, discard));
    if (decoder.malformed()) {
      throw kHttpErrorReadBody;
    }
    if (decoder.complete()) {
      return;
    }
    if (ReceiveMore() == 0) {
      throw kHttpErrorReadBody;
    }
  }
}

}  // namespace tarvo
