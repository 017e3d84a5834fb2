#include "net/http_post_form.h"

#include <optional>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "net/http_factory.h"
#include "net/i_wininet_http.h"

namespace tarvo {

int HttpPostForm(std::string& replyText, const WString& url, const WString& body) {
  const HttpClientPtr<IWininetHttp> client = MakeHttpClient<IWininetHttp>(kHttpClientWininet);
  if (!client) {
    return -1;
  }
  const std::string utf8Body = WideToUtf8(body);
  std::string text = client->Request(url, kHttpPost, utf8Body.c_str(), u"Content-Type: application/x-www-form-urlencoded");
  if (text.empty()) {
    return -1;
  }
  replyText = std::move(text);
  return 0;
}

WString ServiceAddress(WStringView path) { return SettingsRegistry::Instance().Get(SettingsKeys::kApiUrl) + WString(path); }

int CallService(WStringView path, const FormBody& body, ServiceReply& reply) {
  std::string text;
  if (HttpPostForm(text, ServiceAddress(path), body.Wide()) != 0) {
    return -1;
  }
  std::optional<ServiceReply> parsed = ServiceReply::Parse(text);
  if (!parsed) {
    return -1;
  }
  reply = std::move(*parsed);
  return 0;
}

}  // namespace tarvo
