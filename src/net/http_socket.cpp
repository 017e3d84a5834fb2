#include "net/http_socket.h"

#include <algorithm>
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
  // Which of the two frames the body is a guess a request smuggler may play with;
  // reading it either way could hand over a short or a foreign body.
  if (head.chunked() && head.contentLength()) {
    throw kHttpErrorHeader;
  }
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
    const uint64_t limit = limits_.maxDownloadBytes;
    uint64_t written = 0;
    const auto checkHead = [&](const CHttpHeader& head) {
      if (head.contentLength() && *head.contentLength() > limit) {
        throw kHttpErrorReadBody;
      }
      file.emplace(WideToUtf8(filePath), false);
    };
    const auto store = [&](std::string_view data) {
      written += data.size();
      if (written > limit) {
        throw kHttpErrorReadBody;
      }
      file->Write(data);
    };
    Fetch(url, kHttpErrorHeader, false, checkHead, store);
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
    const auto checkHead = [&body, limit = limits_.maxTextBytes](const CHttpHeader& head) {
      const std::optional<uint64_t> length = head.contentLength();
      if (!length || *length == 0 || *length > limit) {
        throw kHttpErrorBadLength;
      }
      body.emplace(*length);
    };
    Fetch(url, kHttpErrorNoHeaderEnd, true, checkHead, [&body](std::string_view data) { body->Append(data); });
    if (body->shortOfLength()) {
      throw kHttpErrorReadBody;
    }
    body->Release(outBuffer, outLength);
    return true;
  } catch (HttpInterfaceError error) {
    error_ = error;
    connection_.Close();
    return false;
  }
}

void CHttpSocket::Fetch(const WString& url, HttpInterfaceError noHeaderEnd, bool deadlineCoversBody,
                        const HeadCheck& checkHead, const BodySink& sink) {
  std::optional<HttpUrl> current = HttpUrl::Parse(url);
  buffer_.resize(receiveBlock_ + 1);
  deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(limits_.requestTotalMs);
  for (int hop = 0;; ++hop) {
    // Plain text must never go to an address the user expects to be private.
    if (!current || current->secure()) {
      throw kHttpErrorConnect;
    }
    SocketRequestHeader record;
    if (!record.Fill(current->host(), current->RequestTarget())) {
      throw kHttpErrorSend;
    }
    const CHttpHeader head = Exchange(*current, record.ToText(), noHeaderEnd);
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
    if (!deadlineCoversBody) {
      deadline_.reset();
    }
    ReadBody(decoder, sink, head.contentLength());
    if (!KeepsConnection(head, decoder)) {
      connection_.Close();
    }
    return;
  }
}

CHttpSocket::CHttpHeader CHttpSocket::Exchange(const HttpUrl& url, const std::string& request,
                                               HttpInterfaceError noHeaderEnd) {
  if (connection_.ConnectedTo(url.host(), url.port()) && pending_.empty() && connection_.Idle()) {
    try {
      connection_.SendAll(request);
      if (ReceiveMore() > 0) {
        return ReadHead(noHeaderEnd);
      }
    } catch (HttpInterfaceError error) {
      // Nothing of an answer came: the server closed the kept connection (many close
      // after each answer or an idle while) and the request went nowhere. A silent
      // server, or a cancel, ends the operation instead.
      if (error != kHttpErrorSend && (error != kHttpErrorSocket || connection_.timedOut() || !pending_.empty())) {
        throw;
      }
    }
    connection_.Close();
  }
  pending_.clear();
  connection_.Connect(url.host(), url.port(), limits_.connectMs, limits_.stallMs);
  ipText_ = AsciiToWide(connection_.address());
  connection_.SendAll(request);
  return ReadHead(noHeaderEnd);
}

size_t CHttpSocket::ReceiveMore() {
  if (CancelRequested()) {
    throw kHttpErrorCancelled;
  }
  uint32_t waitMs = limits_.stallMs;
  if (deadline_) {
    // Past the deadline the wait is zero: bytes already there are still taken.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline_ - std::chrono::steady_clock::now());
    waitMs = static_cast<uint32_t>(std::clamp<int64_t>(left.count(), 0, waitMs));
  }
  const size_t received = connection_.Receive(buffer_.data(), receiveBlock_, waitMs);
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
      // Bytes past the redirect's body belong to no request of ours.
      if (!pending_.empty()) {
        connection_.Close();
      }
      return;
    }
    if (ReceiveMore() == 0) {
      throw kHttpErrorReadBody;
    }
  }
}

}  // namespace tarvo
