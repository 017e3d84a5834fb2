#include "protect/protected_sites.h"

#include "net/payload_cipher.h"
#include "url/url_parts.h"

namespace tarvo::test {

std::string Cipher(const std::string& plain) {
  std::string out;
  PayloadCipher().EncryptText(plain, out);
  return out;
}

namespace {

std::string Host(const std::string& url) { return WideToUtf8(GetUrlHost(Utf8ToWide(url))); }

}  // namespace

int ProtectedSites::Add(const Site& site) const {
  return database_.Execute(
      "insert into domainlist (id, source_id, source_status, source_url, source_domain, target_id, target_status, "
      "target_url, target_domain, ttl, is_auth, is_sign, is_guar, auth_icon_urls, sign_grade, sign_grade_en, "
      "sign_code, sign_desc, sign_desc_en, guar_data, guar_data_en) "
      "values (?, ?, '1', ?, ?, ?, ?, ?, ?, ?, '1', '1', '0', ?, 'A', 'A en', 'C-' || ?, 'desc', 'desc en', 'g', 'g en');",
      {site.id, "s" + site.id, Cipher(site.sourceUrl), Cipher(Host(site.sourceUrl)), "t" + site.id, site.targetStatus,
       Cipher(site.targetUrl), Cipher(Host(site.targetUrl)), site.ttl, site.authIcons, site.id});
}

}  // namespace tarvo::test
