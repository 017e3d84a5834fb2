#include "loopback_probe.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <openssl/evp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <memory>

namespace tarvo::service::test {

std::optional<TcpConnection> ConnectFrom(const std::string& from, int port) {
  TcpConnection connection(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  if (!connection.valid() || inet_pton(AF_INET, from.c_str(), &address.sin_addr) != 1 ||
      ::bind(connection.fd(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    return std::nullopt;
  }
  address.sin_port = htons(static_cast<uint16_t>(port));
  inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
  if (::connect(connection.fd(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) return std::nullopt;
  return connection;
}

std::optional<TcpConnection> EchoTunnel(int proxyPort, const std::string& destination,
                                        const std::string& authorization) {
  auto tunnel = TcpConnection::Connect("127.0.0.1", proxyPort, 5000);
  if (!tunnel) return std::nullopt;
  tunnel->SetReadTimeout(5);
  tunnel->WriteAll("CONNECT " + destination + " HTTP/1.1\r\n" + authorization + "\r\nping");
  std::string received;
  char chunk[256];
  while (received.find("ping") == std::string::npos) {
    const long count = tunnel->ReadSome(chunk, sizeof(chunk));
    if (count <= 0) return std::nullopt;
    received.append(chunk, static_cast<size_t>(count));
  }
  if (received.rfind("HTTP/1.1 200", 0) != 0) return std::nullopt;
  return tunnel;
}

bool EndsSoon(const TcpConnection& connection) {
  char sink[1024];
  for (int round = 0; round < 50; ++round) {
    pollfd ready{connection.fd(), POLLIN, 0};
    if (::poll(&ready, 1, 100) == 1 && connection.ReadSome(sink, sizeof(sink)) <= 0) return true;
  }
  return false;
}

int64_t EnvelopeCode(const std::string& response) {
  const size_t body = response.find("\r\n\r\n");
  const auto reply = ServiceReply::Parse(body == std::string::npos ? "" : response.substr(body + 4));
  return reply ? reply->code() : -1;
}

std::string RawExchange(int port, const std::string& request, const std::string& address, const std::string& from) {
  auto connection = from.empty() ? TcpConnection::Connect(address, port, 5000) : ConnectFrom(from, port);
  if (!connection) return std::string();
  connection->SetReadTimeout(10);
  connection->WriteAll(request);
  return ReadAnswer([&](char* buffer, size_t capacity) { return connection->ReadSome(buffer, capacity); });
}

std::string ReadAnswer(const std::function<long(char*, size_t)>& read) {
  std::string received;
  char buffer[4096];
  size_t whole = std::string::npos;
  while (received.size() < whole) {
    const long count = read(buffer, sizeof(buffer));
    if (count <= 0) break;
    received.append(buffer, static_cast<size_t>(count));
    const size_t end = received.find("\r\n\r\n");
    const size_t length = received.find("\r\nContent-Length: ");
    if (end != std::string::npos && length != std::string::npos && length < end) {
      whole = end + 4 + std::stoul(received.substr(length + 18));
    }
  }
  return received;
}

std::string ProxyAuthorization(const std::string& user, const std::string& token) {
  const std::string plain = user + ":" + token;
  std::string encoded(4 * ((plain.size() + 2) / 3) + 1, '\0');
  encoded.resize(static_cast<size_t>(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()),
                                                     reinterpret_cast<const unsigned char*>(plain.data()),
                                                     static_cast<int>(plain.size()))));
  return "Proxy-Authorization: Basic " + encoded + "\r\n";
}

std::string FormRequest(const std::string& target, const std::string& form, const std::string& extraHeaders) {
  return "POST " + target +
         " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\nConnection: close\r\n" +
         extraHeaders + "Content-Length: " + std::to_string(form.size()) + "\r\n\r\n" + form;
}

ServiceReply PostFrom(const std::string& from, int port, const std::string& path, const std::string& form) {
  const std::string response = RawExchange(port, FormRequest("/" + path, form), "127.0.0.1", from);
  const size_t body = response.find("\r\n\r\n");
  return ServiceReply::Parse(body == std::string::npos ? "" : response.substr(body + 4)).value_or(ServiceReply());
}

FetchResult Fetch(const std::string& url, int proxyPort, const std::optional<std::string>& credentials, bool tunnel) {
  struct Deleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
  };
  const std::unique_ptr<CURL, Deleter> handle(curl_easy_init());
  FetchResult result;
  if (!handle) return result;
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
  curl_easy_perform(curl);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
  if (result.status == 0) curl_easy_getinfo(curl, CURLINFO_HTTP_CONNECTCODE, &result.status);
  return result;
}

}  // namespace tarvo::service::test
