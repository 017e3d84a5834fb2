#include "net/curl_transfer.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "net/curl_handle_lease.h"
#include "net/http_interface_error.h"
#include "net/http_url.h"
#include "net/service_trust.h"

namespace tarvo {

namespace {

constexpr size_t kMaxHead = 64 * 1024;
constexpr long kMaxRedirects = 10;
constexpr size_t kMinCurlBuffer = 1024;
constexpr size_t kMaxCurlBuffer = CURL_MAX_READ_SIZE;

// What the callbacks of one transfer share; lives on the stack of Run.
struct TransferState {
  const CurlTransfer::HeadCheck* checkHead = nullptr;
  const CurlTransfer::BodySink* sink = nullptr;
  IHttpCallback* callback = nullptr;
  std::string head;
  bool connected = false;
  bool finalHeadSeen = false;
  std::optional<HttpInterfaceError> failure;
};

bool IsFollowedRedirect(const CHttpHeader& head) {
  const int32_t status = head.status();
  const bool redirect = status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
  return redirect && !head.Field("Location").empty();
}

size_t OnHeaderLine(char* data, size_t size, size_t count, void* user) {
  auto& state = *static_cast<TransferState*>(user);
  const std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) {
    state.head.clear();
  }
  state.head.append(line);
  if (state.head.size() > kMaxHead) {
    state.failure = kHttpErrorHeader;
    return 0;
  }
  if (line != "\r\n" && line != "\n") {
    return line.size();
  }
  CHttpHeader head;
  if (!head.Parse(state.head)) {
    state.failure = kHttpErrorHeader;
    return 0;
  }
  state.head.clear();
  // Interim (1xx) answers and redirects libcurl follows carry no body for us.
  if (head.status() < 200 || IsFollowedRedirect(head)) {
    return line.size();
  }
  state.finalHeadSeen = true;
  try {
    (*state.checkHead)(head);
  } catch (HttpInterfaceError error) {
    state.failure = error;
    return 0;
  }
  return line.size();
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto& state = *static_cast<TransferState*>(user);
  if (!state.finalHeadSeen) {
    state.failure = kHttpErrorHeader;
    return 0;
  }
  try {
    (*state.sink)(std::string_view(data, size * count));
  } catch (HttpInterfaceError error) {
    state.failure = error;
    return 0;
  }
  return size * count;
}

int OnConnected(void* user, char*, char*, int, int) {
  static_cast<TransferState*>(user)->connected = true;
  return CURL_PREREQFUNC_OK;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto& state = *static_cast<TransferState*>(user);
  if (state.callback != nullptr && state.callback->IsCancelled()) {
    state.failure = kHttpErrorCancelled;
    return 1;
  }
  return 0;
}

HttpInterfaceError MapFailure(CURLcode code, const TransferState& state) {
  switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
      // Also what libcurl says of an answer that is no HTTP at all.
      return state.connected ? kHttpErrorHeader : kHttpErrorOpenHandle;
    case CURLE_URL_MALFORMAT:
    case CURLE_FAILED_INIT:
    case CURLE_OUT_OF_MEMORY:
      return kHttpErrorOpenHandle;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_USE_SSL_FAILED:
      return kHttpErrorConnect;
    case CURLE_TOO_MANY_REDIRECTS:
      return kHttpErrorNotFound;
    case CURLE_FILESIZE_EXCEEDED:
      return kHttpErrorReadBody;
    case CURLE_SEND_ERROR:
      return state.connected ? kHttpErrorSend : kHttpErrorConnect;
    default:
      if (!state.connected) {
        return kHttpErrorConnect;
      }
      return state.finalHeadSeen ? kHttpErrorReadBody : kHttpErrorHeader;
  }
}

CurlHeaderList BuildHeaderList(const CurlLibrary& library, std::string_view text) {
  // libcurl would announce "Expect: 100-continue" on larger posts and wait for an
  // answer some servers never give; an empty Expect line switches that off.
  CurlHeaderList list(library.SlistAppend(nullptr, "Expect:"));
  while (!text.empty() && list) {
    const size_t end = text.find("\r\n");
    const std::string line(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 2);
    if (!line.empty()) {
      curl_slist* grown = library.SlistAppend(list.get(), line.c_str());
      if (grown == nullptr) {
        throw kHttpErrorOpenHandle;
      }
      static_cast<void>(list.release());
      list.reset(grown);
    }
  }
  if (!list) {
    throw kHttpErrorOpenHandle;
  }
  return list;
}

}  // namespace

void CurlTransfer::Run(const CurlTransferSetup& setup, const HeadCheck& checkHead, const BodySink& sink) {
  const CurlHandleLease handle(setup.route.proxy.empty(), setup.url->secure());
  CURL* curl = handle.get();
  if (curl == nullptr) {
    throw kHttpErrorOpenHandle;
  }
  const CurlLibrary& library = *CurlLibrary::Opened();
  TransferState state;
  state.checkHead = &checkHead;
  state.sink = &sink;
  state.callback = setup.callback;
  const std::string address = setup.url->ToString();
  const CurlHeaderList headers = BuildHeaderList(library, setup.extraHeaders);
  const long block = static_cast<long>(std::clamp(setup.blockSize, kMinCurlBuffer, kMaxCurlBuffer));
  const long stallSeconds = std::max<long>(1, static_cast<long>((setup.limits.stallMs + 999) / 1000));

  library.SetOption(curl, CURLOPT_URL, address.c_str());
  library.SetOption(curl, CURLOPT_NOSIGNAL, 1L);
  library.SetOption(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  library.SetOption(curl, CURLOPT_REDIR_PROTOCOLS_STR, setup.url->secure() ? "https" : "http,https");
  library.SetOption(curl, CURLOPT_FOLLOWLOCATION, 1L);
  library.SetOption(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  library.SetOption(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  library.SetOption(curl, CURLOPT_HTTP_CONTENT_DECODING, 0L);
  library.SetOption(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  library.SetOption(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  library.SetOption(curl, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
  if (ServiceTrust::IsServiceHost(*setup.url)) {
    ServiceTrust::Apply(library, curl);
  }
  library.SetOption(curl, CURLOPT_USERAGENT, setup.userAgent);
  library.SetOption(curl, CURLOPT_HTTPHEADER, headers.get());
  library.SetOption(curl, CURLOPT_BUFFERSIZE, block);
  library.SetOption(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(setup.limits.connectMs));
  if (setup.boundWholeRequest) {
    library.SetOption(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(setup.limits.requestTotalMs));
  }
  // Refuses announced lengths above the bound before the body comes; the sinks
  // bound bodies of unannounced length.
  library.SetOption(
      curl, CURLOPT_MAXFILESIZE_LARGE,
      static_cast<curl_off_t>(setup.boundWholeRequest ? setup.limits.maxTextBytes : setup.limits.maxDownloadBytes));
  if (!setup.route.proxy.empty()) {
    library.SetOption(curl, CURLOPT_PROXY, setup.route.proxy.c_str());
    // The route is the whole rule: no host goes around the proxy because the
    // environment lists it.
    library.SetOption(curl, CURLOPT_NOPROXY, "");
    if (!setup.route.credentials.empty()) {
      library.SetOption(curl, CURLOPT_PROXYUSERPWD, setup.route.credentials.c_str());
    }
  }
  library.SetOption(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  library.SetOption(curl, CURLOPT_LOW_SPEED_TIME, stallSeconds);
  if (setup.post) {
    const char* body = setup.postData != nullptr ? setup.postData : "";
    library.SetOption(curl, CURLOPT_POST, 1L);
    library.SetOption(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(std::strlen(body)));
    library.SetOption(curl, CURLOPT_POSTFIELDS, body);
  } else {
    library.SetOption(curl, CURLOPT_HTTPGET, 1L);
  }
  library.SetOption(curl, CURLOPT_HEADERFUNCTION, &OnHeaderLine);
  library.SetOption(curl, CURLOPT_HEADERDATA, &state);
  library.SetOption(curl, CURLOPT_WRITEFUNCTION, &OnBody);
  library.SetOption(curl, CURLOPT_WRITEDATA, &state);
  library.SetOption(curl, CURLOPT_PREREQFUNCTION, &OnConnected);
  library.SetOption(curl, CURLOPT_PREREQDATA, &state);
  library.SetOption(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
  library.SetOption(curl, CURLOPT_XFERINFODATA, &state);
  library.SetOption(curl, CURLOPT_NOPROGRESS, 0L);

  const CURLcode code = library.Perform(curl);
  if (state.failure) {
    throw *state.failure;
  }
  if (code != CURLE_OK) {
    throw MapFailure(code, state);
  }
  // libcurl accepts a connection that closes inside the head; nothing of it is usable.
  if (!state.finalHeadSeen) {
    throw kHttpErrorHeader;
  }
}

}  // namespace tarvo
