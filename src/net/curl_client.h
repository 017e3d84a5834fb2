#pragma once

#include <string>

#include "net/curl_http_core.h"
#include "net/i_http.h"

namespace tarvo {

// The operations CWininetHttp and CWinHttp implement alike: each runs on the core
// and turns a thrown HttpInterfaceError into the stored last error and a false or
// empty result. `Interface` is IWininetHttp or IWinHttp. One thread at a time.
template <class Interface>
class CurlClient : public Interface, protected IHttp {
 public:
  explicit CurlClient(const CurlClientProfile& profile) : core_(profile) {}
  virtual ~CurlClient() = default;

  void SetDownloadCallBack(IHttpCallback* callback, uint32_t context) override { StoreCallback(callback, context); }

  bool DownloadFile(const WString& url, const WString& filePath) override {
    return Guard([&] { core_.DownloadFile(url, filePath, callback_, context_); });
  }

  bool DownloadToMem(const WString& url, uint8_t** outBuffer, uint32_t* outLength) override {
    *outBuffer = nullptr;
    *outLength = 0;
    return Guard([&] { core_.DownloadToMem(url, outBuffer, outLength, callback_, context_); });
  }

  void FreeInstance() override { delete this; }

  HttpInterfaceError GetErrorCode() override { return error_; }

  std::string Request(const WString& url, HttpRequestType type, const char* postData,
                      const char16_t* header) override {
    return RequestText(url, type, postData, header != nullptr ? WideToUtf8(header) : std::string());
  }

  std::string Request(const std::string& url, HttpRequestType type, const char* postData,
                      const char* header) override {
    return RequestText(Utf8ToWide(url), type, postData, header != nullptr ? std::string(header) : std::string());
  }

  // Replaces the time bounds; for operators and tests that need other values.
  void SetLimits(const TransferLimits& limits) { core_.limits() = limits; }

 protected:
  CurlHttpCore core_;

 private:
  template <class Operation>
  bool Guard(Operation&& operation) {
    error_ = kHttpErrorNone;
    try {
      operation();
      return true;
    } catch (HttpInterfaceError error) {
      error_ = error;
      return false;
    }
  }

  std::string RequestText(const WString& url, HttpRequestType type, const char* postData, const std::string& header) {
    std::string body;
    Guard([&] { body = core_.Request(url, type, postData, header, callback_); });
    return body;
  }
};

}  // namespace tarvo
