#include "service/seed_reader.h"

#include <gtest/gtest.h>

#include "service/service_error.h"
#include "support/temp_dir.h"

namespace tarvo::service {
namespace {

class SeedReaderTest : public ::testing::Test {
 protected:
  // Reads `text` as a seed file; returns the error message, or "" when it loads.
  std::string Problem(const std::string& text) {
    const auto path = dir_.WriteFile("seed.json", text);
    try {
      ReadSeedFile(path.string(), 0);
      return std::string();
    } catch (const ServiceError& error) {
      return error.what();
    }
  }

  tarvo::test::TempDir dir_;
};

TEST_F(SeedReaderTest, ReadsAMinimalSeedWithDefaults) {
  dir_.WriteFile("p/m.html", "<p>m</p>");
  const auto path = dir_.WriteFile("seed.json", R"({
    "default_brand": "B",
    "brands": [{"name": "B"}],
    "users": [{"username": "u", "password": "p", "brand": "B"}],
    "nodes": [{"id": 1, "country_id": 1, "country": "C", "area": {"en": "A"}, "ip": "1.2.3.4", "port": 1}],
    "sites": [{"id": 5, "source_url": "http://s/", "mirror": {"address": "127.0.0.9", "page": "p/m.html"}}]
  })");
  const SeedData seed = ReadSeedFile(path.string(), 0);
  EXPECT_EQ(seed.defaultBrand, "B");
  EXPECT_EQ(seed.users[0].name, "u");
  EXPECT_TRUE(seed.users[0].vpnAllowed);
  EXPECT_EQ(seed.sites[0].sourceId, 5);
  EXPECT_EQ(seed.sites[0].targetStatus, 1);
  EXPECT_EQ(seed.sites[0].mirrorPage, (dir_.path() / "p/m.html").string());
}

TEST_F(SeedReaderTest, NamesWhatIsWrong) {
  dir_.WriteFile("a/ca.png", "a");
  dir_.WriteFile("b/ca.png", "b");
  const std::string node = R"({"id": 1, "country_id": 1, "country": "c", "area": "a", "ip": "x", "port": 1})";
  const std::pair<std::string, const char*> cases[] = {
      {"not json", "is not a JSON object"},
      {R"({"brands": {}})", "\"brands\" must be an array"},
      {R"({"brands": [{"name": ""}]})", "brands[0]"},
      {R"({"brands": [{"name": "B"}, {"name": "B"}]})", "repeats the brand"},
      {R"({"default_brand": "X", "brands": []})", "default_brand"},
      {R"({"users": [{"username": "u", "password": "p", "brand": "none"}]})", "unknown brand"},
      {R"({"nodes": [{"id": 1, "country_id": 1, "country": 5, "area": "a", "ip": "x", "port": 1}]})", "\"country\""},
      {R"({"nodes": [)" + node + "," + node + "]}", "node id 1 appears twice"},
      {R"({"sites": [{"id": 1, "source_url": "s", "mirror": {"address": "10.0.0.1", "page": "x"}}]})", "127.x.y.z"},
      {R"({"sites": [{"id": 1, "source_url": "s", "target_url": "t", "authicon": ["gone.png"]}]})",
       "names the missing file"},
      {R"({"sites": [{"id": 1, "source_url": "s", "target_url": "t", "authicon": ["a/ca.png", "b/ca.png"]}]})",
       "two icon files called \"ca.png\""},
      {R"({"sites": [{"id": 1, "source_url": "s", "mirror": {"address": "127.0.0.2", "page": "gone"}}]})",
       "missing file"},
      {R"({"brands": [{"name": "B", "default_favorites": [{"type": "url"}]}]})", "default_favorites"},
      {R"({"pages": {"h": "gone.html"}})", "missing file"},
  };
  for (const auto& [seed, named] : cases) EXPECT_NE(Problem(seed).find(named), std::string::npos) << seed;
}

}  // namespace
}  // namespace tarvo::service
