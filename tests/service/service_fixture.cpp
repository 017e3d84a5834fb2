#include "service_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "net/http_post_form.h"
#include "net/payload_cipher.h"
#include "service/service_database.h"

namespace tarvo::service::test {

std::string ServiceFixture::TestData(const std::string& relative) {
  const char* root = std::getenv("TARVO_TEST_DATA");
  return std::string(root != nullptr ? root : "tests/data") + "/service/" + relative;
}

std::string ServiceFixture::Decipher(const Json::Value& value) {
  std::string plain;
  PayloadCipher().DecryptText(value.asString(), plain);
  return plain;
}

std::string ServiceFixture::SeedText() {
  std::ifstream file(TestData("seed.json"));
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void ServiceFixture::Reseed(const std::string& text, ServiceOptions options) {
  options.seedPath = dir_.WriteFile("reseed/seed.json", text).string();
  for (const char* folder : {"installer", "pages", "icons"}) {
    std::filesystem::copy(TestData(folder), dir_.path() / "reseed" / folder,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_existing);
  }
  service_.reset();
  StartService(std::move(options));
}

ServiceFixture::ServiceFixture() {
  std::string error;
  EXPECT_TRUE(signingKey_.Save((dir_.path() / "signing.key").string(), error)) << error;
}

ServiceOptions ServiceFixture::DefaultOptions() const {
  ServiceOptions options;
  options.port = 0;
  if (database_) {
    options.databaseUrl = database_->address();
  } else {
    options.dataPath = (dir_.path() / "service.db").string();
  }
  options.seedPath = TestData("seed.json");
  options.proxyPorts.mode = ProxyPortPlan::Mode::kAuto;
  options.passwordIterations = 1000;  // keeps log-ins fast; the record format is the same
  options.tokenLifetimeSeconds = 3600;
  options.threads = 4;
  options.plainHttp = true;
  options.signingKeyPath = (dir_.path() / "signing.key").string();
  return options;
}

void ServiceFixture::StartService(ServiceOptions options) {
  location_ = DatabaseLocation(options);
  service_ = std::make_unique<TarvoService>(std::move(options), &log_, [this] { return now_.load(); });
  service_->Start();
}

std::string ServiceFixture::Scalar(const std::string& sql) const {
  auto db = ServiceDatabase::Connect(location_);
  auto query = db->Prepare(sql);
  return query.Step() ? query.Text(0) : std::string();
}

void ServiceFixture::SetUp() {
  if (TestDatabase::Server()) database_.emplace();
  StartService(DefaultOptions());
}

void ServiceFixture::TearDown() {
  service_.reset();
  database_.reset();
}

ServiceReply ServiceFixture::PostRaw(const std::string& path, const std::string& body) {
  std::string text;
  const int result = HttpPostForm(text, Utf8ToWide(service_->BaseUrl() + path), Utf8ToWide(body));
  EXPECT_EQ(result, 0) << "no reply from " << path;
  const auto reply = ServiceReply::Parse(text);
  EXPECT_TRUE(reply.has_value()) << "not an envelope: " << text;
  return reply.value_or(ServiceReply());
}

ServiceReply ServiceFixture::Post(const std::string& path, const FormBody& body) { return PostRaw(path, body.text()); }

std::pair<std::string, std::string> ServiceFixture::LogIn(const std::string& user, const std::string& password) {
  const ServiceReply reply =
      Post("app/v1.0/login", FormBody().Add("username", user).Add("password", password).Add("type", "PC"));
  EXPECT_EQ(reply.code(), 200) << reply.message();
  return {std::to_string(ServiceReply::ReadInt(reply.data(), "id")), ServiceReply::ReadString(reply.data(), "token")};
}

}  // namespace tarvo::service::test
