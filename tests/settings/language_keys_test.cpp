// Every language key the sources ask for must be in every shipped pack: a missing key
// would show an empty caption.
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include <gtest/gtest.h>
#include <json/json.h>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Keys passed as literals to GetText, and keys listed in the constant tables of the
// language-key headers (files named *language_keys.h).
std::set<std::string> KeysUsedBySources(const fs::path& sourceRoot) {
  const std::regex call(R"re(GetText\(\s*u8?"([^"]+)")re");
  const std::regex tableEntry(R"re(u8?"([a-z0-9_]+(?:/[a-z0-9_.]+)+)")re");
  std::set<std::string> keys;
  for (const auto& entry : fs::recursive_directory_iterator(sourceRoot)) {
    const auto extension = entry.path().extension();
    if (extension != ".cpp" && extension != ".h") continue;
    const std::string text = ReadFile(entry.path());
    for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it) keys.insert((*it)[1]);
    if (entry.path().filename().string().ends_with("language_keys.h")) {
      for (std::sregex_iterator it(text.begin(), text.end(), tableEntry), end; it != end; ++it) keys.insert((*it)[1]);
    }
  }
  return keys;
}

TEST(LanguageKeysTest, ShippedPacksHoldEveryKeyTheSourcesUse) {
  const fs::path root = std::getenv("TARVO_SOURCE_DIR");
  const std::set<std::string> keys = KeysUsedBySources(root / "src");
  for (const char* pack : {"usa.json", "china.json"}) {
    Json::Value value;
    std::string errors;
    const std::string text = ReadFile(root / "lang" / pack);
    std::unique_ptr<Json::CharReader> reader(Json::CharReaderBuilder().newCharReader());
    ASSERT_TRUE(reader->parse(text.data(), text.data() + text.size(), &value, &errors)) << pack << ": " << errors;
    ASSERT_TRUE(value["id"].isString()) << pack;
    for (const std::string& key : keys) {
      EXPECT_TRUE(value[key].isString() && !value[key].asString().empty()) << pack << " lacks \"" << key << "\"";
    }
  }
}

}  // namespace
