#include "seed_reader.h"

#include <arpa/inet.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "json_text.h"
#include "localized_text.h"
#include "service_error.h"

namespace tarvo::service {

namespace {

// Reads members of one JSON object, reporting problems with their place in the file.
class SeedObject {
 public:
  SeedObject(const Json::Value& value, std::string where) : value_(value), where_(std::move(where)) {
    if (!value_.isObject()) {
      Fail("must be an object");
    }
  }

  [[noreturn]] void Fail(const std::string& problem) const { throw ServiceError(where_ + " " + problem); }

  const Json::Value& Raw(const char* name) const { return value_[name]; }
  bool Has(const char* name) const { return value_.isMember(name); }

  std::string Text(const char* name, std::optional<std::string> fallback = std::nullopt) const {
    if (!Has(name) && fallback) {
      return *fallback;
    }
    if (!value_[name].isString()) {
      Fail(std::string("needs the text \"") + name + "\"");
    }
    return value_[name].asString();
  }

  int64_t Integer(const char* name, std::optional<int64_t> fallback = std::nullopt) const {
    if (!Has(name) && fallback) {
      return *fallback;
    }
    if (value_[name].isBool()) {
      return value_[name].asBool() ? 1 : 0;
    }
    // isIntegral() also holds for unsigned values past the signed range, which
    // asInt64() throws on: such a number is as wrong as a text here.
    if (!value_[name].isInt64()) {
      Fail(std::string("needs the integer \"") + name + "\"");
    }
    return value_[name].asInt64();
  }

  bool Flag(const char* name, bool fallback) const {
    if (!Has(name)) {
      return fallback;
    }
    if (!value_[name].isBool()) {
      Fail(std::string("needs \"") + name + "\" to be true or false");
    }
    return value_[name].asBool();
  }

  std::vector<std::string> Texts(const char* name) const {
    std::vector<std::string> texts;
    if (!Has(name)) {
      return texts;
    }
    if (!value_[name].isArray()) {
      Fail(std::string("needs \"") + name + "\" to be an array of texts");
    }
    for (const Json::Value& text : value_[name]) {
      if (!text.isString()) {
        Fail(std::string("needs \"") + name + "\" to be an array of texts");
      }
      texts.push_back(text.asString());
    }
    return texts;
  }

  std::string Localized(const char* name) const {
    if (!IsLocalizedText(value_[name])) {
      Fail(std::string("needs \"") + name + "\" as a text or an object of texts by language");
    }
    return WriteCompactJson(value_[name]);
  }

  const std::string& where() const { return where_; }

 private:
  const Json::Value& value_;
  const std::string where_;
};

const Json::Value& ArrayMember(const Json::Value& root, const char* name, const std::string& file) {
  static const Json::Value kEmpty(Json::arrayValue);
  if (!root.isMember(name)) {
    return kEmpty;
  }
  if (!root[name].isArray()) {
    throw ServiceError(file + ": \"" + name + "\" must be an array");
  }
  return root[name];
}

std::string ExistingFile(const SeedObject& object, const std::filesystem::path& folder, const std::string& name) {
  const std::filesystem::path path = folder / name;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    object.Fail("names the missing file " + path.string());
  }
  return std::filesystem::absolute(path).string();
}

bool IsLoopbackIpv4(const std::string& address) {
  in_addr parsed{};
  return inet_pton(AF_INET, address.c_str(), &parsed) == 1 && (ntohl(parsed.s_addr) >> 24) == 127;
}

SeedData::Brand ReadBrand(const SeedObject& object, const std::filesystem::path& folder, int64_t now) {
  SeedData::Brand brand;
  brand.name = object.Text("name");
  if (brand.name.empty()) {
    object.Fail("needs a non-empty \"name\"");
  }
  brand.anonymousVpn = object.Flag("anonymous_vpn", false);
  brand.anonymousSeconds = object.Integer("anonymous_seconds", 0);
  brand.signupVpnSeconds = object.Integer("signup_vpn_seconds", 0);
  brand.version = object.Text("version", "");
  if (object.Has("installer")) {
    brand.installerPath = ExistingFile(object, folder, object.Text("installer"));
  }
  brand.whiteList = object.Texts("white_list");
  std::string error;
  const Json::Value favorites = object.Has("default_favorites") ? object.Raw("default_favorites")
                                                                 : Json::Value(Json::arrayValue);
  if (!FavoritesDocument::FromSeed(favorites, now, brand.defaultFavorites, error)) {
    object.Fail("has invalid \"default_favorites\": " + error);
  }
  return brand;
}

SeedData::User ReadUser(const SeedObject& object) {
  SeedData::User user;
  user.username = object.Text("username");
  user.password = object.Text("password");
  if (user.username.empty() || user.password.empty()) {
    object.Fail("needs a non-empty \"username\" and \"password\"");
  }
  user.brand = object.Text("brand");
  user.name = object.Text("name", user.username);
  user.sex = object.Integer("sex", 0);
  user.status = object.Integer("status", 1);
  user.profilePhoto = object.Text("profile_photo", "");
  user.userGroup = object.Text("user_group", "");
  user.selectPermission = object.Flag("select_permission", false);
  user.vpnAllowed = object.Flag("vpn", true);
  user.vpnSeconds = object.Integer("vpn_seconds", 0);
  return user;
}

SeedData::Node ReadNode(const SeedObject& object) {
  SeedData::Node node;
  node.id = object.Integer("id");
  node.countryId = object.Integer("country_id");
  node.countryJson = object.Localized("country");
  node.areaJson = object.Localized("area");
  node.ip = object.Text("ip");
  node.port = object.Integer("port");
  node.status = object.Integer("status", 1);
  node.anonymous = object.Flag("anonymous", false);
  if (node.id <= 0 || node.port < 0 || node.port > 65535) {
    object.Fail("needs a positive \"id\" and a \"port\" from 0 to 65535");
  }
  return node;
}

// An authority icon is an address, or a file beside the seed that this service
// serves itself: that one is published as "icons/" + its file name, which the
// domain list turns into an address on the service.
std::string ReadAuthIcon(const SeedObject& object, const std::filesystem::path& folder, const std::string& icon,
                         std::map<std::string, std::string>& icons) {
  if (icon.find("://") != std::string::npos) {
    return icon;
  }
  const std::string file = ExistingFile(object, folder, icon);
  const std::string name = std::filesystem::path(file).filename().string();
  const auto [known, added] = icons.emplace(name, file);
  if (!added && known->second != file) {
    object.Fail("names two icon files called \"" + name + "\"");
  }
  return "icons/" + name;
}

SeedData::Site ReadSite(const SeedObject& object, const Json::Value& raw, const std::filesystem::path& folder,
                        std::map<std::string, std::string>& icons) {
  SeedData::Site site;
  site.id = object.Integer("id");
  if (site.id <= 0) {
    object.Fail("needs a positive \"id\"");
  }
  site.sourceId = object.Integer("source_id", site.id);
  site.sourceStatus = object.Integer("source_status", 1);
  site.sourceUrl = object.Text("source_url");
  site.targetId = object.Integer("target_id", site.id);
  site.targetStatus = object.Integer("target_status", 1);
  if (object.Has("mirror")) {
    const SeedObject mirror(object.Raw("mirror"), object.where() + " \"mirror\"");
    site.mirrorAddress = mirror.Text("address");
    if (!IsLoopbackIpv4(site.mirrorAddress)) {
      mirror.Fail("needs an \"address\" of the form 127.x.y.z");
    }
    site.mirrorPage = ExistingFile(mirror, folder, mirror.Text("page"));
  } else {
    site.targetUrl = object.Text("target_url");
  }
  site.isAuth = object.Integer("isauth", 0) != 0 ? 1 : 0;
  site.isSign = object.Integer("issign", 0) != 0 ? 1 : 0;
  site.isEnsure = object.Integer("isensure", 0) != 0 ? 1 : 0;
  Json::Value published(Json::arrayValue);
  for (const std::string& icon : object.Texts("authicon")) {
    published.append(ReadAuthIcon(object, folder, icon, icons));
  }
  site.authIconsJson = WriteCompactJson(published);
  site.signGrade = object.Text("signgrade", "");
  site.signGradeEn = object.Text("signgrade_en", "");
  site.signCode = object.Text("signcode", "");
  site.signDesc = object.Text("signdesc", "");
  site.signDescEn = object.Text("signdesc_en", "");
  site.ensure = object.Text("ensure", "");
  site.ensureEn = object.Text("ensure_en", "");
  site.fingerprint = WriteCompactJson(raw);
  return site;
}

template <class Item>
void RequireUniqueIds(const std::vector<Item>& items, const std::string& what, const std::string& file) {
  std::set<int64_t> seen;
  for (const Item& item : items) {
    if (!seen.insert(item.id).second) {
      throw ServiceError(file + ": " + what + " id " + std::to_string(item.id) + " appears twice");
    }
  }
}

}  // namespace

SeedData ReadSeedFile(const std::string& path, int64_t now) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw ServiceError("cannot read the seed file " + path);
  }
  std::ostringstream text;
  text << file.rdbuf();
  const auto root = ParseJson(text.str());
  if (!root || !root->isObject()) {
    throw ServiceError(path + " is not a JSON object");
  }
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  SeedData seed;
  std::set<std::string> brandNames;
  for (Json::ArrayIndex i = 0; i < ArrayMember(*root, "brands", path).size(); ++i) {
    const SeedObject object((*root)["brands"][i], path + ": brands[" + std::to_string(i) + "]");
    seed.brands.push_back(ReadBrand(object, folder, now));
    if (!brandNames.insert(seed.brands.back().name).second) {
      object.Fail("repeats the brand \"" + seed.brands.back().name + "\"");
    }
  }
  seed.defaultBrand = root->get("default_brand", "").asString();
  if (!seed.defaultBrand.empty() && brandNames.count(seed.defaultBrand) == 0) {
    throw ServiceError(path + ": \"default_brand\" names no brand of the seed");
  }
  std::set<std::string> userNames;
  for (Json::ArrayIndex i = 0; i < ArrayMember(*root, "users", path).size(); ++i) {
    const SeedObject object((*root)["users"][i], path + ": users[" + std::to_string(i) + "]");
    seed.users.push_back(ReadUser(object));
    if (brandNames.count(seed.users.back().brand) == 0) {
      object.Fail("names an unknown brand");
    }
    if (!userNames.insert(seed.users.back().username).second) {
      object.Fail("repeats a user name");
    }
  }
  for (Json::ArrayIndex i = 0; i < ArrayMember(*root, "nodes", path).size(); ++i) {
    seed.nodes.push_back(ReadNode(SeedObject((*root)["nodes"][i], path + ": nodes[" + std::to_string(i) + "]")));
  }
  RequireUniqueIds(seed.nodes, "node", path);
  for (Json::ArrayIndex i = 0; i < ArrayMember(*root, "sites", path).size(); ++i) {
    const Json::Value& raw = (*root)["sites"][i];
    seed.sites.push_back(ReadSite(SeedObject(raw, path + ": sites[" + std::to_string(i) + "]"), raw, folder, seed.icons));
  }
  RequireUniqueIds(seed.sites, "site", path);
  if (root->isMember("pages")) {
    const SeedObject pages((*root)["pages"], path + ": pages");
    for (const std::string& host : (*root)["pages"].getMemberNames()) {
      seed.pages[host] = ExistingFile(pages, folder, pages.Text(host.c_str()));
    }
  }
  return seed;
}

}  // namespace tarvo::service
