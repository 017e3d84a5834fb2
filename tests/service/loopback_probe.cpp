#include "loopback_probe.h"

#include <curl/curl.h>

#include <memory>

#include "service/tcp_connection.h"

namespace tarvo::service::test {

std::string RawExchange(int port, const std::string& request, const std::string& address) {
  auto connection = TcpConnection::Connect(address, port, 5000);
  if (!connection) {
    return std::string();
  }
  connection->SetReadTimeout(10);
  connection->WriteAll(request);
  std::string received;
  char buffer[4096];
  for (;;) {
    const long count = connection->ReadSome(buffer, sizeof(buffer));
    if (count <= 0) {
      break;
    }
    received.append(buffer, static_cast<size_t>(count));
  }
  return received;
}

FetchResult Fetch(const std::string& url, int proxyPort, const std::optional<std::string>& credentials, bool tunnel) {
  struct Deleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
  };
  const std::unique_ptr<CURL, Deleter> handle(curl_easy_init());
  FetchResult result;
  if (!handle) {
    return result;
  }
  CURL* curl = handle.get();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  // Loopback tests must never pick up a proxy from the environment.
  curl_easy_setopt(curl, CURLOPT_NOPROXY, proxyPort == 0 ? "*" : "");
  if (proxyPort != 0) {
    curl_easy_setopt(curl, CURLOPT_PROXY, ("http://127.0.0.1:" + std::to_string(proxyPort)).c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPPROXYTUNNEL, tunnel ? 1L : 0L);
    if (credentials) {
      curl_easy_setopt(curl, CURLOPT_PROXYUSERPWD, credentials->c_str());
      curl_easy_setopt(curl, CURLOPT_PROXYAUTH, CURLAUTH_BASIC);
    }
  }
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
  });
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
  const CURLcode code = curl_easy_perform(curl);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  if (result.status == 0) {
    curl_easy_getinfo(curl, CURLINFO_HTTP_CONNECTCODE, &result.status);
  }
  result.transferred = code == CURLE_OK;
  return result;
}

}  // namespace tarvo::service::test
