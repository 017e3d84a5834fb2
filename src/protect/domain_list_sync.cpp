#include "protect/domain_list_sync.h"

#include <arpa/inet.h>

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
constexpr const char* kDelete = "delete from domainlist where id=?;";

WString Decimal(const Json::Value& entry, const char* name) {
  return AsciiToWide(std::to_string(ServiceReply::ReadInt(entry, name)));
}

WString Flag(const Json::Value& entry, const char* name) {
  return ServiceReply::ReadInt(entry, name) != 0 || ServiceReply::ReadBool(entry, name) ? u"1" : u"0";
}

WString Text(const Json::Value& entry, const char* name) { return Utf8ToWide(ServiceReply::ReadString(entry, name)); }

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

std::string DomainListSync::MirrorMapText(const Json::Value& data) {
  const PayloadCipher cipher;
  std::vector<MirrorMapEntry> entries;
  for (const Json::Value& entry : data["domain_list"]) {
    // Every entry counts, also one the sync would leave out: the signature covers
    // the list exactly as the service sent it.
    std::string source;
    std::string target;
    cipher.DecryptText(ServiceReply::ReadString(entry, "source_url"), source);
    cipher.DecryptText(ServiceReply::ReadString(entry, "target_url"), target);
    entries.push_back(MirrorMapEntry{ServiceReply::ReadInt(entry, "id"), ServiceReply::ReadInt(entry, "action"),
                                     ServiceReply::ReadInt(entry, "target_status"), std::move(source),
                                     std::move(target)});
  }
  return StatementText::MirrorMap(MaxTimeText(data), std::move(entries));
}

bool DomainListSync::IsSignedByBrand(const Json::Value& data) const {
  return trustedKeys_.Verifies(MirrorMapText(data), ServiceReply::ReadString(data, "signature"));
}

bool DomainListSync::BuildRow(const Json::Value& entry, PendingRow& row) const {
  if (!entry.isObject()) {
    return false;
  }
  DomainRecord& r = row.record;
  r.id = Decimal(entry, "id");
  r.sourceId = Decimal(entry, "source_id");
  r.sourceStatus = Decimal(entry, "source_status");
  r.targetId = Decimal(entry, "target_id");
  r.targetStatus = Decimal(entry, "target_status");
  r.isAuth = Flag(entry, "isauth");
  r.isSign = Flag(entry, "issign");
  r.isGuar = Flag(entry, "isensure");
  r.signGrade = Text(entry, "signgrade");
  r.signGradeEn = Text(entry, "signgrade_en");
  r.signCode = Text(entry, "signcode");
  r.signDesc = Text(entry, "signdesc");
  r.signDescEn = Text(entry, "signdesc_en");
  r.guarData = Text(entry, "ensure");
  r.guarDataEn = Text(entry, "ensure_en");
  r.action = static_cast<int>(ServiceReply::ReadInt(entry, "action"));
  if (const Json::Value& icons = entry["authicon"]; icons.isArray()) {
    for (const Json::Value& icon : icons) {
      if (icon.isString()) {
        r.authIconUrls.push_back(Utf8ToWide(icon.asString()));
      }
    }
  }

  row.sourceUrl = ServiceReply::ReadString(entry, "source_url");
  std::string plainSource;
  cipher_.DecryptText(row.sourceUrl, plainSource);
  if (plainSource == kUserCenterMarker) {
    plainSource = SettingsRegistry::Instance().GetUtf8(SettingsKeys::kUserCentre) + "usercenter";
    row.sourceUrl = EncryptUtf8(plainSource);
  }
  r.sourceUrl = Utf8ToWide(plainSource);
  r.sourceDomain = GetUrlHost(r.sourceUrl);
  row.sourceDomain = EncryptUtf8(WideToUtf8(r.sourceDomain));

  row.targetUrl = ServiceReply::ReadString(entry, "target_url");
  std::string plainTarget;
  cipher_.DecryptText(row.targetUrl, plainTarget);
  DebugOutput("protect domain" + plainTarget);
  r.targetUrl = Utf8ToWide(plainTarget);
  r.targetDomain = GetUrlHost(r.targetUrl);
  row.targetDomain = EncryptUtf8(WideToUtf8(r.targetDomain));
  return true;
}

bool DomainListSync::WriteRow(const PendingRow& row) {
  const DomainRecord& r = row.record;
  SqlArgs values = ColumnValues(r, row.sourceUrl, row.sourceDomain, row.targetUrl, row.targetDomain);
  switch (r.action) {
    case 3:
      return database_.Execute(kDelete, {r.id}) == 0;
    case 2:
      values.emplace_back(r.id);
      return database_.Execute(kUpdate, values) == 0;
    case 1:
      values.insert(values.begin(), SqlValue(r.id));
      return database_.Execute(kInsert, values) == 0;
    default:
      return true;  // an action we don't know leaves the entry out
  }
}

bool DomainListSync::ApplyRows(const std::vector<PendingRow>& rows, const std::string& maxTime) {
  return database_.RunInTransaction([&] {
    if (database_.Execute("delete from domainlist where 1;") != 0) {
      return false;
    }
    // Deletes, then updates, then inserts, as the service orders its changes.
    for (const int action : {3, 2, 1}) {
      for (const PendingRow& row : rows) {
        if (row.record.action == action && !WriteRow(row)) {
          return false;
        }
      }
    }
    return InfoRecords(database_).SetInfo(u"domainlist_latesttime", Utf8ToWide(maxTime)) == 0;
  }) == 0;
}

int DomainListSync::SyncDomainList() {
  FormBody body;
  body.Add("latest_time", "0")
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
  std::vector<PendingRow> rows;
  rows.reserve(list.size());
  for (const Json::Value& entry : list) {
    PendingRow row;
    if (BuildRow(entry, row)) {
      rows.push_back(std::move(row));
    }
  }
  return ApplyRows(rows, MaxTimeText(data)) ? 0 : -1;
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
