#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "net/form_body.h"
#include "net/service_reply.h"
#include "service/tarvo_service.h"
#include "support/temp_dir.h"

namespace tarvo::service::test {

// A tarvo-service running in-process on a free loopback port, with a fresh data file,
// the test seed (tests/data/service/seed.json), a proxy per node on free ports and a
// clock the test moves by hand. Requests go through the browser's own client
// (HttpPostForm) and envelope reader (ServiceReply).
class ServiceFixture : public ::testing::Test {
 protected:
  static constexpr int64_t kStartTime = 1'700'000'000;

  void SetUp() override;
  void TearDown() override;

  // Options before Start: tests that need other flags change them in their SetUp.
  ServiceOptions DefaultOptions() const;
  void StartService(ServiceOptions options);

  // Posts `body` to `path` (for example "app/v1.0/login") and parses the envelope.
  // Fails the test when no reply arrives or the reply is not an envelope.
  ServiceReply Post(const std::string& path, const FormBody& body);
  // Posts a body exactly as given, as browser builds that do not encode their forms.
  ServiceReply PostRaw(const std::string& path, const std::string& body);

  // Logs in through the endpoint and returns (id, token).
  std::pair<std::string, std::string> LogIn(const std::string& user, const std::string& password);

  static std::string TestData(const std::string& relative);
  // A ciphered reply value deciphered as the browser does it.
  static std::string Decipher(const Json::Value& value);

  void AdvanceClock(int64_t seconds) { now_ += seconds; }
  int64_t Now() const { return now_; }

  tarvo::test::TempDir dir_;
  std::ostringstream log_;
  std::atomic<int64_t> now_{kStartTime};
  std::unique_ptr<TarvoService> service_;
};

}  // namespace tarvo::service::test
