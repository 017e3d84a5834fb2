// Favourites documents: a stored text, and items a browser sends (the input's JSON
// array) validated, added, updated and removed. A document prints back to itself, and
// ids the service hands out never repeat.
#include <json/json.h>

#include <optional>
#include <set>

#include "fuzz_support.h"
#include "service/favorites_document.h"

using tarvo::service::FavoritesDocument;

namespace {

std::optional<Json::Value> ParseJson(std::string_view text) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value value;
  std::string errors;
  try {
    if (reader->parse(text.data(), text.data() + text.size(), &value, &errors)) {
      return value;
    }
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

void CollectIds(const Json::Value& items, std::multiset<std::string>& ids) {
  for (const Json::Value& item : items) {
    ids.insert(item["id"].asString());
    if (item.isMember("child")) {
      CollectIds(item["child"], ids);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = tarvo::fuzz::AsText(data, size);
  FavoritesDocument document = FavoritesDocument::FromText(text);
  if (FavoritesDocument::FromText(document.ToText()).ToText() != document.ToText()) {
    tarvo::fuzz::Fail("a stored document does not read back as itself");
  }
  (void)document.LargestId();

  FavoritesDocument built;
  std::string error;
  const std::optional<Json::Value> items = ParseJson(text);
  if (!items || !items->isArray()) {
    return 0;
  }
  (void)FavoritesDocument::FromSeed(*items, 1700000000, built, error);
  // As the service does: new ids continue after the largest one stored.
  int64_t nextId = built.LargestId() + 1;
  for (const Json::Value& item : *items) {
    if (FavoritesDocument::Validate(item, false, error)) {
      const Json::Value stored = built.Add(item, nextId, 1700000000);
      (void)built.Update(stored);
    }
  }
  std::multiset<std::string> ids;
  CollectIds(built.items(), ids);
  for (const std::string& id : ids) {
    if (ids.count(id) > 1) {
      tarvo::fuzz::Fail("an id handed out twice");
    }
  }
  if (!ids.empty()) {
    (void)built.Remove({*ids.begin(), "no-such-id"});
  }
  return 0;
}
