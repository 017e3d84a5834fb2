#include "net/trusted_keys.h"

#include "net/hex_text.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tarvo {

namespace {

constexpr size_t kPublicKeyBytes = 32;
constexpr size_t kSignatureBytes = 64;

bool IsSeparator(char c) { return c == ',' || c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ';'; }

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

}  // namespace

TrustedKeys TrustedKeys::Parse(std::string_view list) {
  TrustedKeys trusted;
  size_t at = 0;
  while (at < list.size()) {
    if (IsSeparator(list[at])) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < list.size() && !IsSeparator(list[end])) ++end;
    const std::optional<std::string> raw = HexDecode(list.substr(at, end - at));
    EvpKeyHandle key;
    if (raw && raw->size() == kPublicKeyBytes) {
      key.reset(EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, Bytes(*raw), raw->size()));
    }
    if (key) {
      trusted.keys_.push_back(std::move(key));
    } else {
      ++trusted.rejected_;
    }
    at = end;
  }
  return trusted;
}

TrustedKeys TrustedKeys::OfThisBrowser() {
  return Parse(SettingsRegistry::Instance().GetUtf8(SettingsKeys::kServiceKeys));
}

bool TrustedKeys::Verifies(std::string_view message, std::string_view signatureHex) const {
  const std::optional<std::string> signature = HexDecode(signatureHex);
  if (!signature || signature->size() != kSignatureBytes) return false;
  for (const EvpKeyHandle& key : keys_) {
    const EvpDigestContext context(EVP_MD_CTX_new());
    if (context && EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1 &&
        EVP_DigestVerify(context.get(), Bytes(*signature), signature->size(),
                         reinterpret_cast<const unsigned char*>(message.data()), message.size()) == 1) {
      return true;
    }
  }
  return false;
}

}  // namespace tarvo
