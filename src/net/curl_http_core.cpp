#include "net/curl_http_core.h"

#include <optional>

#include "net/body_buffer.h"
#include "net/curl_transfer.h"
#include "net/http_interface_error.h"
#include "net/http_url.h"
#include "net/target_file.h"

namespace tarvo {

namespace {

HttpUrl ParseOrThrow(const WString& url, HttpInterfaceError emptyError) {
  if (url.empty()) {
    throw emptyError;
  }
  std::optional<HttpUrl> parsed = HttpUrl::Parse(url);
  if (!parsed) {
    throw kHttpErrorConnect;
  }
  return *parsed;
}

// Reports the progress of a download to the caller's callback.
class ProgressReporter {
 public:
  ProgressReporter(IHttpCallback* callback, uint32_t context) : callback_(callback), context_(context) {}

  void OnHead(const CHttpHeader& head) {
    total_ = head.contentLength() ? static_cast<double>(*head.contentLength()) : 0.0;
  }
  void OnBlock(size_t bytes) {
    done_ += static_cast<double>(bytes);
    Report(IHttpCallback::kStateReceiving);
  }
  void OnComplete() {
    if (total_ == 0.0) {
      total_ = done_;
    }
    Report(IHttpCallback::kStateComplete);
  }

 private:
  void Report(int32_t state) const {
    if (callback_ != nullptr) {
      callback_->OnDownloadProgress(context_, state, total_, done_);
    }
  }

  IHttpCallback* callback_;  // not owned
  uint32_t context_;
  double total_ = 0;
  double done_ = 0;
};

void RejectErrorAnswers(const CHttpHeader& head) {
  // Error pages are not the resource asked for; saving one would report a failure as
  // success.
  if (head.status() >= 400) {
    throw kHttpErrorNotFound;
  }
}

}  // namespace

std::string CurlHttpCore::Request(const WString& url, HttpRequestType type, const char* postData,
                                  const std::string& header, IHttpCallback* callback) const {
  const HttpUrl parsed = ParseOrThrow(url, kHttpErrorEmptyRequestUrl);
  CurlTransferSetup setup;
  setup.url = &parsed;
  setup.post = type != kHttpGet;
  setup.postData = postData;
  setup.extraHeaders = header;
  setup.userAgent = profile_.userAgent;
  setup.blockSize = profile_.textBlock;
  setup.limits = limits_;
  setup.boundWholeRequest = true;
  setup.callback = callback;
  std::string body;
  const bool failsOnNotFound = profile_.requestFailsOnNotFound;
  CurlTransfer::Run(
      setup,
      [failsOnNotFound](const CHttpHeader& head) {
        if (failsOnNotFound && head.status() == 404) {
          throw kHttpErrorNotFound;
        }
      },
      [&body, limit = limits_.maxTextBytes](std::string_view data) {
        if (body.size() + data.size() > limit) {
          throw kHttpErrorReadBody;
        }
        body.append(data);
      });
  return body;
}

CurlTransferSetup CurlHttpCore::DownloadSetup(const HttpUrl& parsed, IHttpCallback* callback) const {
  CurlTransferSetup setup;
  setup.url = &parsed;
  setup.userAgent = profile_.userAgent;
  setup.blockSize = profile_.downloadBlock;
  setup.limits = limits_;
  setup.callback = callback;
  return setup;
}

void CurlHttpCore::DownloadFile(const WString& url, const WString& filePath, IHttpCallback* callback,
                                uint32_t context) const {
  const HttpUrl parsed = ParseOrThrow(url, kHttpErrorEmptyDownloadUrl);
  const CurlTransferSetup setup = DownloadSetup(parsed, callback);
  ProgressReporter progress(callback, context);
  std::optional<TargetFile> file;
  CurlTransfer::Run(
      setup,
      [&](const CHttpHeader& head) {
        RejectErrorAnswers(head);
        progress.OnHead(head);
        // Created only once a usable answer is known, so a refused download leaves no
        // file at all.
        file.emplace(WideToUtf8(filePath), profile_.createFolders);
      },
      [&](std::string_view data) {
        file->Write(data);
        progress.OnBlock(data.size());
      });
  file->Commit();
  progress.OnComplete();
}

void CurlHttpCore::DownloadToMem(const WString& url, uint8_t** outBuffer, uint32_t* outLength,
                                 IHttpCallback* callback, uint32_t context) const {
  const HttpUrl parsed = ParseOrThrow(url, kHttpErrorEmptyDownloadUrl);
  const CurlTransferSetup setup = DownloadSetup(parsed, callback);
  ProgressReporter progress(callback, context);
  std::optional<BodyBuffer> body;
  CurlTransfer::Run(
      setup,
      [&](const CHttpHeader& head) {
        RejectErrorAnswers(head);
        if (profile_.memoryNeedsLength && !head.contentLength()) {
          throw kHttpErrorHeader;
        }
        progress.OnHead(head);
        body.emplace(head.contentLength());
      },
      [&](std::string_view data) {
        body->Append(data);
        progress.OnBlock(data.size());
      });
  // A body shorter than its announced length is not the resource.
  if (body->shortOfLength()) {
    throw kHttpErrorReadBody;
  }
  body->Release(outBuffer, outLength);
  progress.OnComplete();
}

}  // namespace tarvo
