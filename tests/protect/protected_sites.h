#pragma once

#include <string>

#include "store/user_database.h"

namespace tarvo::test {

// `plain` ciphered with the payload cipher, as the service sends addresses.
std::string Cipher(const std::string& plain);

// Writes domainlist rows the way the service's list is stored: addresses and hosts
// ciphered with the payload cipher, the other columns as text.
class ProtectedSites {
 public:
  struct Site {
    std::string id;
    std::string sourceUrl;
    std::string targetUrl;
    std::string ttl = "0";
    std::string targetStatus = "1";
    std::string authIcons;
  };

  explicit ProtectedSites(UserDatabase& database) : database_(database) {}

  // Inserts one row; hosts are taken from the plain addresses. Returns 0 or -1.
  int Add(const Site& site) const;

 private:
  UserDatabase& database_;
};

}  // namespace tarvo::test
