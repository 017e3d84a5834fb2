#include "favorites/favorites_remote.h"

#include <json/json.h>

#include "favorites/bookmark_address.h"
#include "net/form_body.h"
#include "net/http_post_form.h"
#include "net/service_reply.h"
#include "platform/debug_output.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tarvo {

namespace {

WString Brand() { return SettingsRegistry::Instance().Get(SettingsKeys::kBrand); }

FormBody UserForm(const WString& token) {
  FormBody body;
  body.Add("token", token).Add("brand", Brand());
  return body;
}

std::string ItemText(const Json::Value& item) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  return Json::writeString(builder, item);
}

// Posts `body` to `path`: 0 with the reply when it arrived and says 200; else
// kUnreachable, kNotFound or kRefused (reported) and no reply.
int Post(WStringView path, const FormBody& body, ServiceReply& reply) {
  if (CallService(path, body, reply) != 0) {
    DebugOutput("favourites: no usable reply from " + WideToUtf8(path));
    return FavoritesRemote::kUnreachable;
  }
  if (reply.succeeded()) return 0;
  DebugOutput("favourites: " + WideToUtf8(path) + " refused with code " + std::to_string(reply.code()) + ": " +
              reply.message());
  switch (reply.code()) {
    case 404:
      return FavoritesRemote::kNotFound;
    case 400:
    case 403:
    case 409:
    case 413:
      return FavoritesRemote::kRefused;
    default:  // a lapsed token, a busy or failing service: worth another try later
      return FavoritesRemote::kUnreachable;
  }
}

std::optional<ServiceReply> Succeeded(WStringView path, const FormBody& body) {
  ServiceReply reply;
  if (Post(path, body, reply) != 0) return std::nullopt;
  return reply;
}

// The checked document of a reply's `data`; nothing (reported) when it is unusable.
std::optional<FavoritesTree> CheckedDocument(WStringView path, const Json::Value& data) {
  std::string problem;
  std::optional<FavoritesTree> tree = FavoritesTree::Checked(data, problem);
  if (!tree) DebugOutput("favourites: " + WideToUtf8(path) + " answered unusable favourites: " + problem);
  return tree;
}

// A synchronised document without the bookmarks whose address a bookmark from
// elsewhere may not carry (BookmarkAddress); how many went is reported.
std::optional<FavoritesTree> SynchronisedDocument(WStringView path, const Json::Value& data) {
  std::optional<FavoritesTree> tree = CheckedDocument(path, data);
  if (!tree) return tree;
  const size_t dropped = tree->RemoveBookmarksIf(&BookmarkAddress::IsRefused).size();
  if (dropped > 0) {
    DebugOutput("favourites: " + WideToUtf8(path) + ": " + std::to_string(dropped) +
                " bookmarks left out for a script, data or file address");
  }
  return tree;
}

}  // namespace

int FavoritesRemote::FetchDefaults(FavoritesTree& defaults) {
  FormBody body;
  body.Add("brand", Brand());
  const std::optional<ServiceReply> reply = Succeeded(kDefaultsPath, body);
  if (!reply) return -1;
  std::optional<FavoritesTree> tree = SynchronisedDocument(kDefaultsPath, reply->data());
  if (!tree) return -1;
  defaults = std::move(*tree);
  return 0;
}

int FavoritesRemote::FetchUserFavorites(const WString& token, FavoritesTree& favorites) {
  const std::optional<ServiceReply> reply = Succeeded(kListPath, UserForm(token));
  if (!reply) return -1;
  const Json::Value& data = reply->data();
  std::optional<FavoritesTree> tree =
      SynchronisedDocument(kListPath, data.isObject() ? data["favor"] : Json::Value());
  if (!tree) return -1;
  favorites = std::move(*tree);
  return 0;
}

int FavoritesRemote::Add(const WString& token, Json::Value& item) {
  FormBody body = UserForm(token);
  body.Add("data", ItemText(item));
  ServiceReply reply;
  if (const int posted = Post(kAddPath, body, reply); posted != 0) return posted;
  const Json::Value& data = reply.data();
  Json::Value first(Json::arrayValue);
  if (data.isArray() && !data.empty()) first.append(data[0]);
  std::optional<FavoritesTree> stored = CheckedDocument(kAddPath, first);
  if (!stored || stored->Empty()) return kUnreachable;
  item = stored->Items()[0];
  return 0;
}

int FavoritesRemote::Update(const WString& token, const Json::Value& item) {
  FormBody body = UserForm(token);
  body.Add("data", ItemText(item));
  ServiceReply reply;
  return Post(kUpdatePath, body, reply);
}

int FavoritesRemote::Delete(const WString& token, const std::string& ids, std::vector<std::string>* deleted) {
  FormBody body = UserForm(token);
  body.Add("data", "[" + ids + "]");
  ServiceReply reply;
  const int posted = Post(kDeletePath, body, reply);
  if (posted == 0 && deleted != nullptr && reply.data().isObject() && reply.data()["deleted"].isArray()) {
    for (const Json::Value& id : reply.data()["deleted"]) {
      if (id.isString()) deleted->push_back(id.asString());
    }
  }
  return posted;
}

}  // namespace tarvo
