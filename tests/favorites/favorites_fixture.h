#pragma once
// What the favourites' tests share: documents written in a line, a scripted service
// on loopback that answers each endpoint as told and records what it was sent, and a
// logged-in user for the length of a test.
#include <json/json.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "support/loopback_http_server.h"
#include "platform/text.h"
#include "account/account_state.h"
#include "store/user_database.h"

namespace tarvo::test {

Json::Value Bookmark(const std::string& id, const std::string& name, const std::string& url,
                     const std::string& folder = "");
Json::Value Folder(const std::string& id, const std::string& name, std::vector<Json::Value> children = {});
Json::Value Document(std::vector<Json::Value> items);
// The JSON value of a text (null when it does not parse).
Json::Value ParseJson(const std::string& text);
// The info value of `key` in `database` as UTF-8 ("" when absent).
std::string StoredInfo(UserDatabase& database, const std::string& key);
// A service reply envelope.
std::string Envelope(int code, const Json::Value& data);
// The decoded value of `name` in a form body ("" when absent).
std::string FormValue(const std::string& body, const std::string& name);

// A service on loopback: each endpoint path ("app/v1.0/...") answers with the reply set
// for it (code 404 until one is), and the settings point the browser's service
// address and brand at it for the object's life.
class ScriptedService {
 public:
  ScriptedService();
  ~ScriptedService();

  void Answer(const std::string& path, std::string reply);
  // Every answer waits this long first.
  void SetDelay(int ms);
  // The bodies received for one path, in order.
  std::vector<std::string> Bodies(const std::string& path) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::string> replies_;
  int delayMs_ = 0;
  LoopbackHttpServer server_;
};

// The account state the favourites' tests follow.
AccountState& TestAccount();
// A user logged in for the object's life (TestAccount's id and token).
class LoggedIn {
 public:
  LoggedIn(const std::string& userId, const std::string& token);
  ~LoggedIn();
};

}  // namespace tarvo::test
