#pragma once

#include <string>

namespace tarvo::test {

// A fresh private key and a certificate for 127.0.0.1 signed with it, made at test
// time, so no key material lives in the tree. The certificate names 127.0.0.1 as
// its common name and as its IP address alternative name (what browsers check);
// it is valid from a minute ago for a day. Nothing trusts it: clients see an
// unknown issuer.
struct SelfSignedCertificate {
  std::string certificate_pem;
  std::string key_pem;

  // Throws std::runtime_error when OpenSSL cannot make or sign one.
  static SelfSignedCertificate Make();
};

}  // namespace tarvo::test
