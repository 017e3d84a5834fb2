#include "protect/domain_list_sync.h"

#include <arpa/inet.h>

#include <cstdlib>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "net/form_body.h"
#include "net/http_post_form.h"
#include "net/ping_socket.h"
#include "net/service_reply.h"
#include "net/statement_text.h"
#include "platform/debug_output.h"
#include "platform/warning_output.h"
#include "url/url_parts.h"
#include "store/info_records.h"

namespace tarvo {

namespace {

constexpr char16_t kEndpoint[] = u"app/v1.0/domain_list";
constexpr uint32_t kNoHostTtl = 65535;

// Columns of the insert, in the order its values follow.
constexpr const char* kInsert =
    "insert into domainlist (id, source_id, source_status, source_url, source_domain, target_id, target_status, "
    "target_url, target_domain,is_sign, is_auth, is_guar, auth_icon_urls,sign_grade,sign_grade_en,sign_code,"
    "sign_desc,sign_desc_en,guar_data,guar_data_en) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?);";
constexpr const char* kUpdate =
    "update domainlist set source_id=?,source_status=?,source_url=?,source_domain=?,target_id=?,target_status=?,"
    "target_url=?,target_domain=?,is_sign=?,is_auth=?,is_guar=?,auth_icon_urls=?,sign_grade=?,sign_grade_en=?,"
    "sign_code=?,sign_desc=?,sign_desc_en=?,guar_data=?,guar_data_en=? where id=?;";
constexpr const char* kReplace =
    "insert or replace into domainlist (id, source_id, source_status, source_url, source_domain, target_id, "
    "target_status, target_url, target_domain,is_sign, is_auth, is_guar, auth_icon_urls,sign_grade,sign_grade_en,"
    "sign_code,sign_desc,sign_desc_en,guar_data,guar_data_en) values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?);";
constexpr const char* kDelete = "delete from domainlist where id=?;";

WString Decimal(int64_t value) { return AsciiToWide(std::to_string(value)); }

bool Flag(const Json::Value& entry, const char* name) {
  return ServiceReply::ReadInt(entry, name) != 0 || ServiceReply::ReadBool(entry, name);
}

// A number stored or sent as decimal text (0 when it is none).
int64_t Number(const std::string& text) {
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  return end != text.c_str() ? static_cast<int64_t>(value) : 0;
}

std::string JoinIcons(const std::vector<WString>& icons) {
  std::string joined;
  for (const WString& icon : icons) {
    if (!joined.empty()) {
      joined += ',';
    }
    joined += WideToUtf8(icon);
  }
  return joined;
}

// The columns shared by insert and update, after id, in the insert's order.
SqlArgs ColumnValues(const DomainRecord& r, const std::string& sourceUrl, const std::string& sourceDomain,
                     const std::string& targetUrl, const std::string& targetDomain) {
  return {r.sourceId,    r.sourceStatus, sourceUrl,     sourceDomain,
          r.targetId,    r.targetStatus, targetUrl,     targetDomain,
          r.isSign,      r.isAuth,       r.isGuar,      JoinIcons(r.authIconUrls),
          r.signGrade,   r.signGradeEn,  r.signCode,    r.signDesc,
          r.signDescEn,  r.guarData,     r.guarDataEn};
}

// "max_time" arrives as a number or as text; it is stored as decimal text.
std::string MaxTimeText(const Json::Value& data) {
  const std::string text = ServiceReply::ReadString(data, "max_time");
  return text.empty() ? std::to_string(ServiceReply::ReadInt(data, "max_time")) : text;
}

}  // namespace

std::string DomainListSync::EncryptUtf8(const std::string& plain) const {
  std::string cipherText;
  cipher_.EncryptText(plain, cipherText);
  return cipherText;
}

MirrorMapSite DomainListSync::SiteOf(const Json::Value& entry, const PayloadCipher& cipher) {
  MirrorMapSite site;
  site.id = ServiceReply::ReadInt(entry, "id");
  site.action = ServiceReply::ReadInt(entry, "action");
  site.sourceId = ServiceReply::ReadInt(entry, "source_id");
  site.sourceStatus = ServiceReply::ReadInt(entry, "source_status");
  cipher.DecryptText(ServiceReply::ReadString(entry, "source_url"), site.source);
  site.targetId = ServiceReply::ReadInt(entry, "target_id");
  site.targetStatus = ServiceReply::ReadInt(entry, "target_status");
  cipher.DecryptText(ServiceReply::ReadString(entry, "target_url"), site.target);
  site.isAuth = Flag(entry, "isauth");
  site.isSign = Flag(entry, "issign");
  site.isEnsure = Flag(entry, "isensure");
  if (const Json::Value& icons = entry.isObject() ? entry["authicon"] : Json::Value::nullSingleton();
      icons.isArray()) {
    for (const Json::Value& icon : icons) {
      if (icon.isString()) {
        site.authIcons.push_back(icon.asString());
      }
    }
  }
  site.signGrade = ServiceReply::ReadString(entry, "signgrade");
  site.signGradeEn = ServiceReply::ReadString(entry, "signgrade_en");
  site.signCode = ServiceReply::ReadString(entry, "signcode");
  site.signDesc = ServiceReply::ReadString(entry, "signdesc");
  site.signDescEn = ServiceReply::ReadString(entry, "signdesc_en");
  site.ensure = ServiceReply::ReadString(entry, "ensure");
  site.ensureEn = ServiceReply::ReadString(entry, "ensure_en");
  return site;
}

std::string DomainListSync::MirrorMapText(const Json::Value& data) {
  const PayloadCipher cipher;
  std::vector<MirrorMapSite> sites;
  // Every entry counts, also one the sync would leave out: the signature covers
  // the list exactly as the service sent it.
  for (const Json::Value& entry : data["domain_list"]) {
    sites.push_back(SiteOf(entry, cipher));
  }
  const MirrorMapTimes times{ServiceReply::ReadInt(data, "issued_at"), ServiceReply::ReadInt(data, "latest_time"),
                             MaxTimeText(data)};
  return StatementText::MirrorMap2(times, sites);
}

bool DomainListSync::IsSignedByBrand(const Json::Value& data) const {
  return trustedKeys_.Verifies(MirrorMapText(data), ServiceReply::ReadString(data, "signature2"));
}

std::string DomainListSync::Staleness(const Json::Value& data, int64_t storedTime) const {
  const int64_t maxTime = Number(MaxTimeText(data));
  if (maxTime < storedTime) {
    return "its newest change (" + std::to_string(maxTime) + ") is older than the kept list's (" +
           std::to_string(storedTime) + ")";
  }
  const int64_t latestTime = ServiceReply::ReadInt(data, "latest_time");
  if (latestTime > storedTime) {
    // Changes after a later time would skip those in between.
    return "it lists the changes after " + std::to_string(latestTime) + ", later than the kept list's " +
           std::to_string(storedTime);
  }
  return std::string();
}

int64_t DomainListSync::StoredTime() const {
  WString stored;
  return InfoRecords(database_).GetInfo(u"domainlist_latesttime", stored) == 0 ? Number(WideToUtf8(stored)) : 0;
}

void DomainListSync::BuildRow(const MirrorMapSite& site, PendingRow& row) const {
  DomainRecord& r = row.record;
  r.id = Decimal(site.id);
  r.sourceId = Decimal(site.sourceId);
  r.sourceStatus = Decimal(site.sourceStatus);
  r.targetId = Decimal(site.targetId);
  r.targetStatus = Decimal(site.targetStatus);
  r.isAuth = site.isAuth ? u"1" : u"0";
  r.isSign = site.isSign ? u"1" : u"0";
  r.isGuar = site.isEnsure ? u"1" : u"0";
  r.signGrade = Utf8ToWide(site.signGrade);
  r.signGradeEn = Utf8ToWide(site.signGradeEn);
  r.signCode = Utf8ToWide(site.signCode);
  r.signDesc = Utf8ToWide(site.signDesc);
  r.signDescEn = Utf8ToWide(site.signDescEn);
  r.guarData = Utf8ToWide(site.ensure);
  r.guarDataEn = Utf8ToWide(site.ensureEn);
  r.action = static_cast<int>(site.action);
  for (const std::string& icon : site.authIcons) {
    r.authIconUrls.push_back(Utf8ToWide(icon));
  }

  // The addresses are stored enciphered from the signed plain text, so the table
  // holds exactly what was signed.
  std::string plainSource = site.source;
  if (plainSource == kUserCenterMarker) {
    plainSource = SettingsRegistry::Instance().GetUtf8(SettingsKeys::kUserCentre) + "usercenter";
  }
  row.sourceUrl = EncryptUtf8(plainSource);
  r.sourceUrl = Utf8ToWide(plainSource);
  r.sourceDomain = GetUrlHost(r.sourceUrl);
  row.sourceDomain = EncryptUtf8(WideToUtf8(r.sourceDomain));

  DebugOutput("protect domain" + site.target);
  row.targetUrl = EncryptUtf8(site.target);
  r.targetUrl = Utf8ToWide(site.target);
  r.targetDomain = GetUrlHost(r.targetUrl);
  row.targetDomain = EncryptUtf8(WideToUtf8(r.targetDomain));
}

bool DomainListSync::WriteRow(const PendingRow& row, bool wholeList) {
  const DomainRecord& r = row.record;
  SqlArgs values = ColumnValues(r, row.sourceUrl, row.sourceDomain, row.targetUrl, row.targetDomain);
  switch (r.action) {
    case 3:
      return database_.Execute(kDelete, {r.id}) == 0;
    case 2:
      if (wholeList) {
        values.emplace_back(r.id);
        return database_.Execute(kUpdate, values) == 0;
      }
      [[fallthrough]];
    case 1:
      // A change may come again (a list of changes since a time before the kept
      // one repeats some): it replaces the row.
      values.insert(values.begin(), SqlValue(r.id));
      return database_.Execute(wholeList ? kInsert : kReplace, values) == 0;
    default:
      return true;  // an action we don't know leaves the entry out
  }
}

bool DomainListSync::ApplyRows(const std::vector<PendingRow>& rows, const std::string& maxTime, bool wholeList) {
  return database_.RunInTransaction([&] {
    if (wholeList && database_.Execute("delete from domainlist where 1;") != 0) {
      return false;
    }
    // Deletes, then updates, then inserts, as the service orders its changes.
    for (const int action : {3, 2, 1}) {
      for (const PendingRow& row : rows) {
        if (row.record.action == action && !WriteRow(row, wholeList)) {
          return false;
        }
      }
    }
    return InfoRecords(database_).SetInfo(u"domainlist_latesttime", Utf8ToWide(maxTime)) == 0;
  }) == 0;
}

int DomainListSync::SyncDomainList() {
  const int64_t storedTime = StoredTime();
  FormBody body;
  body.Add("latest_time", std::to_string(storedTime))
      .Add("platform", "3")
      .Add("client_version", "0")
      .Add("brand", SettingsRegistry::Instance().Get(SettingsKeys::kBrand));
  ServiceReply reply;
  if (CallService(kEndpoint, body, reply) != 0) {
    return -1;
  }
  if (!reply.succeeded()) {
    DebugOutput("domain list refused: " + reply.message());
    return -1;
  }
  const Json::Value& data = reply.data();
  const Json::Value& list = data.isObject() ? data["domain_list"] : Json::Value::nullSingleton();
  if (!list.isArray()) {
    return -1;
  }
  if (!IsSignedByBrand(data)) {
    // Whoever sits between the browser and the service could have written it; a
    // forged mirror would be loaded in place of the site, its certificate accepted.
    WarningOutput("protect: the mirror list is not signed by one of the brand's keys; the protected sites stay as "
                  "they were");
    return -1;
  }
  if (const std::string stale = Staleness(data, storedTime); !stale.empty()) {
    // A genuine but older list, replayed: it could bring back a retired mirror.
    WarningOutput("protect: the mirror list is older than the one kept (" + stale +
                  "); the protected sites stay as they were");
    return -1;
  }
  const PayloadCipher& cipher = cipher_;
  std::vector<PendingRow> rows;
  rows.reserve(list.size());
  for (const Json::Value& entry : list) {
    if (entry.isObject()) {
      PendingRow row;
      BuildRow(SiteOf(entry, cipher), row);
      rows.push_back(std::move(row));
    }
  }
  const bool wholeList = ServiceReply::ReadInt(data, "latest_time") == 0;
  return ApplyRows(rows, MaxTimeText(data), wholeList) ? 0 : -1;
}

void DomainListSync::MeasureDomainLatency() {
  QueryTable table;
  if (database_.Query("SELECT id,source_url,target_url FROM domainlist WHERE target_status='1';", {}, &table) < 0) {
    return;
  }
  PingSocket socket;
  for (size_t row = 0; row < table.rows.size(); ++row) {
    std::string target;
    cipher_.DecryptText(table.Text(row, 2), target);
    const std::string host = WideToUtf8(GetUrlHost(Utf8ToWide(target)));
    uint32_t ttl = kNoHostTtl;
    if (!host.empty()) {
      // Only a dotted IPv4 number is pinged; a name is never sent out as the
      // broadcast address that an unparsed host would otherwise become.
      PingReply reply{};
      in_addr address{};
      if (inet_pton(AF_INET, host.c_str(), &address) == 1) {
        socket.Ping(address.s_addr, &reply);
      }
      ttl = reply.ttl;
    }
    database_.Execute("UPDATE domainlist SET ttl=? WHERE id=?;",
                      {AsciiToWide(std::to_string(ttl)), table.Text(row, 0)});
  }
}

}  // namespace tarvo
