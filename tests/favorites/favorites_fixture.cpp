#include "favorites_fixture.h"

#include <memory>

#include "account/account_state.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/info_records.h"

namespace tarvo::test {

Json::Value Bookmark(const std::string& id, const std::string& name, const std::string& url, const std::string& folder) {
  Json::Value item;
  item["id"] = id;
  item["type"] = "url";
  item["folder"] = folder;
  item["name"] = name;
  item["url"] = url;
  item["date"] = "1700000000";
  return item;
}

Json::Value Folder(const std::string& id, const std::string& name, std::vector<Json::Value> children) {
  Json::Value item;
  item["id"] = id;
  item["type"] = "folder";
  item["folder"] = "";
  item["name"] = name;
  item["date"] = "1700000000";
  if (!children.empty()) {
    item["child"] = Json::Value(Json::arrayValue);
    for (Json::Value& child : children) item["child"].append(child);
  }
  return item;
}

Json::Value Document(std::vector<Json::Value> items) {
  Json::Value document(Json::arrayValue);
  for (Json::Value& item : items) document.append(item);
  return document;
}

Json::Value ParseJson(const std::string& text) {
  Json::Value value;
  std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
  std::string errors;
  return reader->parse(text.data(), text.data() + text.size(), &value, &errors) ? value : Json::Value();
}

std::string StoredInfo(UserDatabase& database, const std::string& key) {
  WString value;
  InfoRecords(database).GetInfo(Utf8ToWide(key), value);
  return WideToUtf8(value);
}

std::string Envelope(int code, const Json::Value& data) {
  Json::Value reply;
  reply["code"] = code;
  reply["message"] = code == 200 ? "ok" : "refused";
  reply["data"] = data;
  return Json::writeString(Json::StreamWriterBuilder(), reply);
}

std::string FormValue(const std::string& body, const std::string& name) {
  const std::string key = "&" + name + "=";
  const size_t at = ("&" + body).find(key);
  std::string value;
  for (size_t i = at + key.size() - 1; at != std::string::npos && i < body.size() && body[i] != '&'; ++i) {
    if (body[i] == '%' && i + 2 < body.size()) {
      value += static_cast<char>(std::stoi(body.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      value += body[i] == '+' ? ' ' : body[i];
    }
  }
  return value;
}

ScriptedService::ScriptedService()
    : server_([this](const ReceivedRequest& request) {
        std::lock_guard lock(mutex_);
        const auto reply = replies_.find(request.target.substr(1));
        ScriptedReply answer =
            LoopbackHttpServer::Ok(reply != replies_.end() ? reply->second : Envelope(404, Json::Value()));
        answer.delayMs = delayMs_;
        return answer;
      }) {
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, server_.WideUrl("/"));
  SettingsRegistry::Instance().Set(SettingsKeys::kBrand, u"TestBrand");
}

ScriptedService::~ScriptedService() { SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, u""); }

void ScriptedService::Answer(const std::string& path, std::string reply) {
  std::lock_guard lock(mutex_);
  replies_[path] = std::move(reply);
}

void ScriptedService::SetDelay(int ms) {
  std::lock_guard lock(mutex_);
  delayMs_ = ms;
}

std::vector<std::string> ScriptedService::Bodies(const std::string& path) const {
  std::vector<std::string> bodies;
  for (const ReceivedRequest& request : server_.Requests()) {
    if (request.target == "/" + path) bodies.push_back(request.body);
  }
  return bodies;
}

AccountState& TestAccount() {
  static AccountState* account = new AccountState();  // the favourites' workers may outlive a test
  return *account;
}

LoggedIn::LoggedIn(const std::string& userId, const std::string& token) {
  TestAccount().SetUserId(Utf8ToWide(userId));
  TestAccount().SetToken(Utf8ToWide(token));
}

LoggedIn::~LoggedIn() {
  TestAccount().SetUserId(u"");
  TestAccount().SetToken(u"");
}

}  // namespace tarvo::test
