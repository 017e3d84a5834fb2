#include "protect/domain_list.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "url/url_parts.h"
#include "store/info_records.h"

namespace tarvo {

namespace {

constexpr WStringView kEnableKey = u"domainlist_enable";

std::vector<WString> SplitIconUrls(const WString& joined) {
  std::vector<WString> urls;
  if (joined.empty()) {
    return urls;
  }
  size_t start = 0;
  for (size_t comma = joined.find(u','); comma != WString::npos; comma = joined.find(u',', start)) {
    urls.push_back(joined.substr(start, comma - start));
    start = comma + 1;
  }
  urls.push_back(joined.substr(start));
  return urls;
}

}  // namespace

namespace {

// The lists below are never destroyed: threads still look sites up at the process's end.
std::atomic<DomainList*> processList{nullptr};

}  // namespace

DomainList& DomainList::Instance() {
  if (DomainList* list = processList.load()) return *list;
  static DomainList* const unopened = new DomainList(*new UserDatabase());
  return *unopened;
}

void DomainList::UseDatabase(UserDatabase& database) {
  // Each list made is kept where it stays reachable, so one replaced while a lookup
  // still holds it is neither freed under that lookup nor lost.
  static std::mutex guard;
  static auto* const made = new std::vector<std::unique_ptr<DomainList>>();
  const std::lock_guard lock(guard);
  made->push_back(std::make_unique<DomainList>(database));
  processList.store(made->back().get());
}

bool DomainList::IsDomainListEnabled() const {
  WString value;
  return InfoRecords(database_).GetInfo(kEnableKey, value) == 0 && value != u"0";
}

int DomainList::SetDomainListEnabled(bool on) const {
  return InfoRecords(database_).SetInfo(kEnableKey, on ? u"1" : u"0");
}

bool DomainList::MapSourceToTarget(WStringView address, WString& target) const {
  return MapAddress(address, "source", "target", target);
}

bool DomainList::MapTargetToSource(WStringView address, WString& source) const {
  return MapAddress(address, "target", "source", source);
}

bool DomainList::FindTarget(WStringView address, WString& target) const {
  return MapAddress(address, "target", "target", target);
}

bool DomainList::MapAddress(WStringView address, std::string_view from, std::string_view to, WString& found) const {
  // The URL model has no normalisation beyond the text itself: addresses are
  // compared as given, and the host lookup catches differences in the path.
  const std::string toColumn = std::string(to) + "_url";
  std::string cipherText;
  std::string match;
  bool hit = Encrypt(address, cipherText) && FirstMatch(toColumn, std::string(from) + "_url", cipherText, match);
  if (!hit) {
    const WString host = GetUrlHost(address);
    hit = !host.empty() && Encrypt(host, cipherText) &&
          FirstMatch(toColumn, std::string(from) + "_domain", cipherText, match);
  }
  WString plain;
  if (!hit || !Decrypt(match, plain)) {
    return false;
  }
  found = std::move(plain);
  return true;
}

bool DomainList::FirstMatch(std::string_view column, std::string_view by, const std::string& cipherText,
                            std::string& found) const {
  const std::string sql = "SELECT " + std::string(column) + " FROM domainlist WHERE target_status='1' AND " +
                          std::string(by) + "=? ORDER BY ttl ASC;";
  QueryTable table;
  if (database_.Query(sql, {cipherText}, &table) <= 0) {
    return false;
  }
  found = table.Text(0, 0);
  return true;
}

bool DomainList::GetProtectRecord(WStringView sourceAddress, WStringView targetAddress, DomainRecord& record) const {
  const WString sourceHost = GetUrlHost(sourceAddress);
  const WString targetHost = GetUrlHost(targetAddress);
  std::string sourceCipher;
  std::string targetCipher;
  if (!Encrypt(sourceHost, sourceCipher) || !Encrypt(targetHost, targetCipher)) {
    return false;
  }
  QueryTable table;
  if (database_.Query("SELECT id,source_id,source_status,source_url,target_id,target_status,target_url,is_auth,"
                      "is_sign,is_guar,auth_icon_urls,sign_grade,sign_grade_en,sign_code,sign_desc,sign_desc_en,"
                      "guar_data,guar_data_en FROM domainlist WHERE target_status='1' AND source_domain=? "
                      "AND target_domain=? ORDER BY ttl ASC;",
                      {sourceCipher, targetCipher}, &table) <= 0) {
    return false;
  }
  const auto text = [&table](size_t column) { return Utf8ToWide(table.Text(0, column)); };
  DomainRecord row;
  if (!Decrypt(table.Text(0, 3), row.sourceUrl) || !Decrypt(table.Text(0, 6), row.targetUrl)) {
    return false;
  }
  row.id = text(0);
  row.sourceId = text(1);
  row.sourceStatus = text(2);
  row.sourceDomain = sourceHost;
  row.targetId = text(4);
  row.targetStatus = text(5);
  row.targetDomain = targetHost;
  row.isAuth = text(7);
  row.isSign = text(8);
  row.isGuar = text(9);
  row.authIconUrls = SplitIconUrls(text(10));
  row.signGrade = text(11);
  row.signGradeEn = text(12);
  row.signCode = text(13);
  row.signDesc = text(14);
  row.signDescEn = text(15);
  row.guarData = text(16);
  row.guarDataEn = text(17);
  record = std::move(row);
  return true;
}

bool DomainList::Encrypt(WStringView plain, std::string& cipherText) const {
  return cipher_.EncryptText(WideToUtf8(plain), cipherText) == 0;
}

bool DomainList::Decrypt(const std::string& cipherText, WString& plain) const {
  std::string bytes;
  if (cipher_.DecryptText(cipherText, bytes) != 0) {
    return false;
  }
  plain = Utf8ToWide(bytes);
  return true;
}

}  // namespace tarvo
