#include "tls_probe.h"

#include "loopback_probe.h"

namespace tarvo::service::test {

std::unique_ptr<TlsProbe> TlsProbe::Open(int port, const std::string& caFile, std::string_view before) {
  auto connection = TcpConnection::Connect("127.0.0.1", port, 5000);
  if (connection && !before.empty() && !connection->WriteAll(before)) return nullptr;
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  SSL* ssl = context != nullptr ? SSL_new(context) : nullptr;
  if (!connection || ssl == nullptr) {
    SSL_CTX_free(context);
    return nullptr;
  }
  connection->SetReadTimeout(10);
  std::unique_ptr<TlsProbe> probe(new TlsProbe(std::move(*connection), context, ssl));
  SSL_CTX_load_verify_file(context, caFile.c_str());
  SSL_set_verify(ssl, SSL_VERIFY_PEER, nullptr);
  if (SSL_set1_host(ssl, "127.0.0.1") != 1 || SSL_set_fd(ssl, probe->connection_.fd()) != 1 || SSL_connect(ssl) != 1) {
    return nullptr;
  }
  return probe;
}

TlsProbe::~TlsProbe() {
  SSL_free(ssl_);
  SSL_CTX_free(context_);
}

bool TlsProbe::Send(std::string_view data) {
  size_t written = 0;
  return SSL_write_ex(ssl_, data.data(), data.size(), &written) == 1 && written == data.size();
}

long TlsProbe::Read(char* buffer, size_t capacity) {
  size_t read = 0;
  const int result = SSL_read_ex(ssl_, buffer, capacity, &read);
  if (result == 1) return static_cast<long>(read);
  return SSL_get_error(ssl_, result) == SSL_ERROR_ZERO_RETURN ? 0 : -1;
}

std::string TlsProbe::ReadAll() {
  std::string received;
  char buffer[16 * 1024];
  for (long count = 0; (count = Read(buffer, sizeof(buffer))) != 0;) {
    if (count < 0) return std::string();
    received.append(buffer, static_cast<size_t>(count));
  }
  return received;
}

std::string TlsProbe::ReadAnswer() {
  return test::ReadAnswer([this](char* buffer, size_t capacity) { return Read(buffer, capacity); });
}

}  // namespace tarvo::service::test
