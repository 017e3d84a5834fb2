#include "support/test_credentials.h"

#include <cstdlib>
#include <stdexcept>

#include "net/signing_key.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tarvo::test {

TestCredentials::TestCredentials(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  signingKey_ = (folder / "signing.key").string();
  caFile_ = (folder / "tls" / "ca.pem").string();
  certificateFile_ = (folder / "tls" / "service.pem").string();
  certificateKeyFile_ = (folder / "tls" / "service.key").string();
  // The same throw-away CA scripts/run makes, with a certificate for 127.0.0.1.
  const std::string make = std::string(TARVO_TEST_SOURCE_DIR) + "/scripts/make-demo-tls '" + (folder / "tls").string() + "'";
  std::optional<SigningKey> signing = SigningKey::Generate();
  std::string error;
  if (std::system(make.c_str()) != 0 || !signing || !signing->Save(signingKey_, error)) {
    throw std::runtime_error("test credentials could not be made in " + folder.string() + " " + error);
  }
  publicKey_ = signing->PublicKeyHex();
}

std::vector<std::string> TestCredentials::ServiceArguments() const {
  return {"--tls-cert", certificateFile_, "--tls-key", certificateKeyFile_, "--signing-key", signingKey_};
}

std::map<std::string, std::string> TestCredentials::BrowserEnvironment(const std::string& apiUrl) const {
  return {{"TARVO_API_URL", apiUrl}, {"TARVO_API_KEYS", publicKey_}, {"TARVO_API_CA", caFile_}};
}

void TestCredentials::TrustInThisProcess() const {
  SettingsRegistry::Instance().Set(SettingsKeys::kServiceKeys, Utf8ToWide(publicKey_));
  SettingsRegistry::Instance().Set(SettingsKeys::kServiceCaFile, Utf8ToWide(caFile_));
}

}  // namespace tarvo::test
