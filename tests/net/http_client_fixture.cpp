#include "net/http_client_fixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "net/http_socket.h"
#include "net/i_win_http.h"
#include "net/wininet_http.h"

namespace tarvo::test {

void HttpClientFixture::SetUp() {
  IHttpBase* client = nullptr;
  ASSERT_TRUE(CreateInstance(&client, kind()));
  client_.reset(client);
  target_ = temp_.path() / "download.bin";
  client_->SetDownloadCallBack(&callback_, 77);
}

void HttpClientFixture::UseShortStall() {
  const TransferLimits limits{1000, 2000, 1000};
  if (auto* socket = dynamic_cast<CHttpSocket*>(client_.get())) {
    socket->SetLimits(limits);
  } else if (auto* wininet = dynamic_cast<CWininetHttp*>(client_.get())) {
    wininet->SetLimits(limits);
  } else if (auto* winHttp = dynamic_cast<IWinHttp*>(client_.get())) {
    winHttp->SetTimeOut(1000, 1000, 1000);
  }
}

bool HttpClientFixture::ToFile(const std::string& url) {
  return client_->DownloadFile(Utf8ToWide(url), Utf8ToWide(target_.string()));
}

std::optional<std::string> HttpClientFixture::ToMem(const std::string& url) {
  uint8_t* buffer = reinterpret_cast<uint8_t*>(1);
  uint32_t length = 99;
  if (!client_->DownloadToMem(Utf8ToWide(url), &buffer, &length)) {
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(length, 0u);
    return std::nullopt;
  }
  std::string body(reinterpret_cast<const char*>(buffer), length);
  std::free(buffer);
  return body;
}

std::string HttpClientFixture::FileContent() const {
  std::ifstream in(target_, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string KindName(const ::testing::TestParamInfo<HttpClientKind>& info) {
  switch (info.param) {
    case kHttpClientSocket:
      return "Socket";
    case kHttpClientWininet:
      return "Wininet";
    case kHttpClientWinHttp:
      return "WinHttp";
  }
  return "Unknown";
}

}  // namespace tarvo::test
