#include "url/site_icon.h"

#include <openssl/evp.h>

#include <string>

#include "url/url_parts.h"

namespace tarvo {

std::array<WString, 5> GetFaviconCandidates(WStringView url) {
  const WString domain = GetRegistrableDomain(url);
  const WString scheme = GetUrlScheme(url);
  const WString file = u"/favicon.ico";
  return {GetUrlOrigin(url) + file, scheme + domain + file, u"http://" + domain + file,
          scheme + u"www." + domain + file, u"http://www." + domain + file};
}

WString GetIconCacheName(WStringView iconUrl) {
  std::string bytes;
  bytes.reserve(iconUrl.size() * 2);
  for (const char16_t unit : iconUrl) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  unsigned char digest[EVP_MAX_MD_SIZE] = {};
  unsigned int digestLength = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &digestLength, EVP_md5(), nullptr) != 1) {
    // MD5 is built into every libcrypto; a refusal (a FIPS-only provider) leaves no
    // name to cache under, and callers then find no cached icon.
    return {};
  }
  static constexpr char16_t kHex[] = u"0123456789abcdef";
  WString name;
  for (unsigned int i = 0; i < digestLength; ++i) {
    name += kHex[digest[i] >> 4];
    name += kHex[digest[i] & 0x0F];
  }
  return name;
}

}  // namespace tarvo
