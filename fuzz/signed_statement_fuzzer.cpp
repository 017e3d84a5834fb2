// The signed parts of service replies: a domain list's mirror map as the browser reads
// it for its signature, the signature's hex text, and hex texts generally. Whatever
// the reply holds, the map's text is the same for its entries in any order, and only
// a signature of the brand's key over exactly that text verifies.
#include <json/json.h>

#include <algorithm>

#include "fuzz_support.h"
#include "net/hex_text.h"
#include "net/signing_key.h"
#include "net/trusted_keys.h"
#include "protect/domain_list_sync.h"

namespace {

const tarvo::SigningKey& BrandKey() {
  static const tarvo::SigningKey key = *tarvo::SigningKey::Generate();
  return key;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = tarvo::fuzz::AsText(data, size);
  if (const std::optional<std::string> bytes = tarvo::HexDecode(text)) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    if (tarvo::HexEncode(*bytes) != lower) tarvo::fuzz::Fail("hex text does not round-trip");
  }

  Json::CharReaderBuilder builder;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value reply;
  std::string errors;
  try {
    if (!reader->parse(text.data(), text.data() + text.size(), &reply, &errors)) return 0;
  } catch (const Json::Exception&) {
    return 0;  // the reader's own depth limit; not what is tested here
  }
  const Json::Value& listData = reply.isObject() && reply.isMember("data") ? reply["data"] : reply;
  const std::string map = tarvo::DomainListSync::MirrorMapText(listData);
  const tarvo::TrustedKeys trusted = tarvo::TrustedKeys::Parse(BrandKey().PublicKeyHex());
  const std::string signature = listData.isObject() ? listData.get("signature2", "").asString() : std::string();
  (void)trusted.Verifies(map, signature);
  if (!trusted.Verifies(map, BrandKey().Sign(map))) tarvo::fuzz::Fail("the brand's own signature does not verify");
  if (trusted.Verifies(map + " ", BrandKey().Sign(map))) tarvo::fuzz::Fail("a signature verifies other bytes");

  if (listData.isObject() && listData["domain_list"].isArray() && listData["domain_list"].size() > 1) {
    Json::Value reversed = listData;
    Json::Value& entries = reversed["domain_list"];
    for (Json::ArrayIndex i = 0, j = entries.size() - 1; i < j; ++i, --j) std::swap(entries[i], entries[j]);
    if (tarvo::DomainListSync::MirrorMapText(reversed) != map) tarvo::fuzz::Fail("the map depends on entry order");
  }
  return 0;
}
