// The service client against the reference service, started as a process on a free
// loopback port with the shared seed.
#include <gtest/gtest.h>
#include <filesystem>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "net/http_post_form.h"
#include "support/service_process.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

TEST(ServiceIntegrationTest, LoginWithReservedCharactersAndVersionCheck) {
  const std::string program = ServiceProcess::Program();
  if (program.empty()) {
    GTEST_SKIP() << "tarvo-service is not built";
  }
  TempDir temp;
  const std::string seed = std::string(std::getenv("TARVO_TEST_DATA")) + "/service/seed.json";
  ServiceProcess service(program, seed, (temp.path() / "service.db").string());
  ASSERT_FALSE(service.baseUrl().empty());
  ASSERT_TRUE(service.baseUrl().starts_with("https://127.0.0.1:"));
  service.UseInThisProcess();

  // The seeded password holds "&" and "=", which only a properly encoded form keeps.
  ServiceReply login;
  ASSERT_EQ(CallService(u"app/v1.0/login",
                        FormBody().Add("username", u"alice@tarvo.test").Add("password", u"alice&pass=1").Add("type", "PC"),
                        login),
            0);
  EXPECT_EQ(login.code(), 200) << login.message();
  EXPECT_GT(ServiceReply::ReadInt(login.data(), "id"), 0);
  EXPECT_FALSE(ServiceReply::ReadString(login.data(), "token").empty());

  ServiceReply wrong;
  ASSERT_EQ(CallService(u"app/v1.0/login",
                        FormBody().Add("username", u"alice@tarvo.test").Add("password", u"alice").Add("type", "PC"),
                        wrong),
            0);
  EXPECT_NE(wrong.code(), 200);

  ServiceReply version;
  ASSERT_EQ(CallService(u"app/v1.0/version", FormBody().Add("brand", u"TestBrand").Add("type", "PC"), version), 0);
  EXPECT_EQ(version.code(), 200);
  EXPECT_EQ(ServiceReply::ReadString(version.data(), "version"), "5.5.9.0");
  SettingsRegistry::Instance().ClearForTesting();
}

}  // namespace
}  // namespace tarvo::test
