#include "net/http_download.h"

#include <system_error>
#include <thread>

#include "net/http_factory.h"
#include "net/i_win_http.h"

namespace tarvo {

int HttpDownloadFile(const WString& url, const WString& filePath) {
  const HttpClientPtr<IWinHttp> client = MakeHttpClient<IWinHttp>(kHttpClientWinHttp);
  return client && client->DownloadFile(url, filePath) ? 0 : -1;
}

int HttpDownloadFileAsync(const WString& url, const WString& filePath, HttpDownloadDone done, uint64_t context) {
  try {
    std::thread([url, filePath, done, context] {
      if (HttpDownloadFile(url, filePath) == 0 && done != nullptr) {
        done(WideToUtf8(filePath), context);
      }
    }).detach();
    return 0;
  } catch (const std::system_error&) {
    return -1;
  }
}

}  // namespace tarvo
