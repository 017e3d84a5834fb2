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
#include "net/signing_key.h"
#include "test_database.h"

namespace tarvo::service::test {

// A tarvo-service running in-process on a free loopback port (plain HTTP), with a fresh
// database (a SQLite file, or a PostgreSQL database when the test command provides a
// server), the test seed (tests/data/service/seed.json), a signing key made for the
// test, a proxy per node on free ports and a clock the test moves by hand. Requests go
// through the browser's own client
// (HttpPostForm) and envelope reader (ServiceReply).
class ServiceFixture : public ::testing::Test {
 protected:
  static constexpr int64_t kStartTime = 1'700'000'000;

  ServiceFixture();

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
  // The test seed's text; a restart with `options` on a seed of `text`, the files
  // the test seed names copied beside it.
  static std::string SeedText();
  void Reseed(const std::string& text, ServiceOptions options);
  // A ciphered reply value deciphered as the browser does it.
  static std::string Decipher(const Json::Value& value);

  // The first column of the first row of `sql` on the running service's database
  // ("" without a row), read through a connection of the test's own.
  std::string Scalar(const std::string& sql) const;

  void AdvanceClock(int64_t seconds) { now_ += seconds; }
  int64_t Now() const { return now_; }

  tarvo::test::TempDir dir_;
  // The brand's key the service signs with, made for the test (its file in dir_).
  const SigningKey signingKey_ = *SigningKey::Generate();
  std::optional<TestDatabase> database_;  // when the tests run against PostgreSQL
  std::ostringstream log_;
  std::atomic<int64_t> now_{kStartTime};
  std::unique_ptr<TarvoService> service_;
  std::string location_;  // of the database the last StartService opened
};

}  // namespace tarvo::service::test
