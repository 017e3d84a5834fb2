#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "favorites_document.h"

namespace tarvo::service {

// The checked content of a seed file, with every file path made absolute. Plain data.
struct SeedData {
  struct Brand {
    std::string name;
    bool anonymousVpn = false;
    int64_t anonymousSeconds = 0;
    int64_t signupVpnSeconds = 0;
    std::string version;
    std::string installerPath;  // empty when the brand publishes no installer
    std::vector<std::string> whiteList;
    FavoritesDocument defaultFavorites;
  };
  struct User {
    std::string username;
    std::string password;
    std::string brand;
    std::string name;
    int64_t sex = 0;
    int64_t status = 1;
    std::string profilePhoto;
    std::string userGroup;
    bool selectPermission = false;
    bool vpnAllowed = true;
    int64_t vpnSeconds = 0;
  };
  struct Node {
    int64_t id = 0;
    int64_t countryId = 0;
    std::string countryJson;  // a text or an object of texts by language, as JSON
    std::string areaJson;
    std::string ip;
    int64_t port = 0;
    int64_t status = 1;
    bool anonymous = false;
  };
  struct Site {
    int64_t id = 0;
    int64_t sourceId = 0;
    int64_t sourceStatus = 1;
    std::string sourceUrl;
    int64_t targetId = 0;
    int64_t targetStatus = 1;
    std::string targetUrl;      // a mirror elsewhere, or empty for a served mirror
    std::string mirrorAddress;  // loopback address this service serves the mirror on
    std::string mirrorPage;
    int64_t isAuth = 0;
    int64_t isSign = 0;
    int64_t isEnsure = 0;
    std::string authIconsJson;  // addresses, and "icons/<name>" for the seed's own icon files
    std::string signGrade, signGradeEn, signCode, signDesc, signDescEn, ensure, ensureEn;
    std::string fingerprint;  // canonical JSON of the seed entry: changes mark updates
  };

  std::string defaultBrand;
  std::vector<Brand> brands;
  std::vector<User> users;
  std::vector<Node> nodes;
  std::vector<Site> sites;
  std::map<std::string, std::string> pages;  // host name → page file
  std::map<std::string, std::string> icons;  // file name served under /icons/ → icon file
};

}  // namespace tarvo::service
