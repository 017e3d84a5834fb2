#pragma once
// Keys and certificates made at test time, in a folder of the test's own, as PEM
// files: the brand's signing key pair, a certification authority, and a server
// certificate it issued for 127.0.0.1 (scripts/make-demo-tls). Two sets in two
// folders are two strangers: neither trusts the other's CA nor verifies the other's
// signatures.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tarvo::test {

class TestCredentials {
 public:
  // Makes everything in `folder` (created). Throws std::runtime_error when that fails.
  explicit TestCredentials(const std::filesystem::path& folder);

  const std::string& signingKey() const { return signingKey_; }  // private key file
  const std::string& publicKey() const { return publicKey_; }    // 64 hex digits
  const std::string& caFile() const { return caFile_; }
  const std::string& certificateFile() const { return certificateFile_; }
  const std::string& certificateKeyFile() const { return certificateKeyFile_; }

  // tarvo-service's arguments for TLS with this certificate and signing with this key.
  std::vector<std::string> ServiceArguments() const;
  // The browser's environment for a service at `apiUrl` that uses these credentials.
  std::map<std::string, std::string> BrowserEnvironment(const std::string& apiUrl) const;
  // Makes this process's browser code trust them (the settings registry's brand keys
  // and certification authority).
  void TrustInThisProcess() const;

 private:
  std::string signingKey_;
  std::string publicKey_;
  std::string caFile_;
  std::string certificateFile_;
  std::string certificateKeyFile_;
};

}  // namespace tarvo::test
