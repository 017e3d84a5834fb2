#include "domain_list_endpoint.h"

#include "api_codes.h"
#include "brand_directory.h"
#include "client_cipher.h"
#include "field_values.h"
#include "form_fields.h"
#include "json_text.h"
#include "net/statement_text.h"
#include "service_database.h"

namespace tarvo::service {

namespace {

enum Action { kInsert = 1, kUpdate = 2, kDelete = 3 };

constexpr std::string_view kSelectSites =
    "SELECT id, source_id, source_status, source_url, target_id, target_status, target_url, mirror_address,"
    " is_auth, is_sign, is_ensure, auth_icons, sign_grade, sign_grade_en, sign_code, sign_desc, sign_desc_en,"
    " ensure, ensure_en, created_at, deleted FROM sites WHERE modified_at>?1 AND (deleted=0 OR ?1>0)"
    " ORDER BY id";

}  // namespace

DomainListEndpoint::DomainListEndpoint(ServiceDatabase& db, int mirrorPort, std::string mirrorScheme,
                                       std::string publicUrl, const SigningKey* signingKey, ServiceClock clock)
    : db_(db),
      mirrorPort_(mirrorPort),
      mirrorScheme_(std::move(mirrorScheme)),
      publicUrl_(std::move(publicUrl)),
      signingKey_(signingKey),
      clock_(std::move(clock)) {}

ApiReply DomainListEndpoint::DomainList(const FormFields& form) const {
  const auto latestTime = ParseInteger(form.Get("latest_time").value_or("0"));
  if (!latestTime || *latestTime < 0) {
    return ApiReply::BadField("latest_time");
  }
  return AnswerForBrand(db_, form.Get("brand").value_or(""), [&](DatabaseConnection& db, const std::string&) {
    if (*latestTime != 0) {
      return ApiReply::Ok(BuildList(db, *latestTime));
    }
    auto version = db.Prepare("SELECT COALESCE(MAX(modified_at), 0), COUNT(*) FROM sites");
    version.Step();
    const std::string current = std::to_string(version.Int(0)) + "/" + std::to_string(version.Int(1));
    std::lock_guard lock(cacheMutex_);
    if (current != cachedVersion_) {
      cachedFullList_ = WriteCompactJson(BuildList(db, 0));
      cachedVersion_ = current;
    }
    return ApiReply::OkWithDataText(cachedFullList_);
  });
}

Json::Value DomainListEndpoint::BuildList(DatabaseConnection& db, int64_t latestTime) const {
  auto newest = db.Prepare("SELECT COALESCE(MAX(modified_at), 0) FROM sites");
  newest.Step();
  Json::Value data(Json::objectValue);
  const int64_t maxTime = std::max(newest.Int(0), latestTime);
  data["max_time"] = Json::Int64(maxTime);
  data["latest_time"] = Json::Int64(latestTime);
  const int64_t issuedAt = clock_();
  data["issued_at"] = Json::Int64(issuedAt);
  Json::Value& entries = data["domain_list"] = Json::Value(Json::arrayValue);
  std::vector<MirrorMapEntry> mirrorMap;
  std::vector<MirrorMapSite> sitesSigned;
  auto sites = db.Prepare(kSelectSites);
  sites.Bind(1, latestTime);
  while (sites.Step()) {
    const std::string mirrorAddress = sites.Text(7);
    const std::string target = mirrorAddress.empty()
                                   ? sites.Text(6)
                                   : mirrorScheme_ + mirrorAddress + ":" + std::to_string(mirrorPort_) + "/";
    Json::Value entry(Json::objectValue);
    entry["id"] = Json::Int64(sites.Int(0));
    entry["source_id"] = Json::Int64(sites.Int(1));
    entry["source_status"] = Json::Int64(sites.Int(2));
    entry["source_url"] = CipherForClient(sites.Text(3));
    entry["target_id"] = Json::Int64(sites.Int(4));
    entry["target_status"] = Json::Int64(sites.Int(5));
    entry["target_url"] = CipherForClient(target);
    entry["isauth"] = Json::Int64(sites.Int(8));
    entry["issign"] = Json::Int64(sites.Int(9));
    entry["isensure"] = Json::Int64(sites.Int(10));
    Json::Value& icons = entry["authicon"] = Json::Value(Json::arrayValue);
    MirrorMapSite site{sites.Int(0), 0,           sites.Int(1),        sites.Int(2),        sites.Text(3),
                       sites.Int(4), sites.Int(5), target,              sites.Int(8) != 0,   sites.Int(9) != 0,
                       sites.Int(10) != 0};
    for (const Json::Value& icon : ParseJson(sites.Text(11)).value_or(Json::Value(Json::arrayValue))) {
      // The seed's own icon files ("icons/<name>") are served here.
      const std::string text = icon.asString();
      site.authIcons.push_back(text.find("://") == std::string::npos ? publicUrl_ + text : text);
      icons.append(site.authIcons.back());
    }
    entry["signgrade"] = sites.Text(12);
    entry["signgrade_en"] = sites.Text(13);
    entry["signcode"] = sites.Text(14);
    entry["signdesc"] = sites.Text(15);
    entry["signdesc_en"] = sites.Text(16);
    entry["ensure"] = sites.Text(17);
    entry["ensure_en"] = sites.Text(18);
    if (sites.Int(20) != 0) {
      entry["action"] = kDelete;
    } else {
      entry["action"] = sites.Int(19) > latestTime || latestTime == 0 ? kInsert : kUpdate;
    }
    mirrorMap.push_back(
        MirrorMapEntry{sites.Int(0), entry["action"].asInt64(), sites.Int(5), sites.Text(3), target});
    site.action = entry["action"].asInt64();
    site.signGrade = sites.Text(12);
    site.signGradeEn = sites.Text(13);
    site.signCode = sites.Text(14);
    site.signDesc = sites.Text(15);
    site.signDescEn = sites.Text(16);
    site.ensure = sites.Text(17);
    site.ensureEn = sites.Text(18);
    sitesSigned.push_back(std::move(site));
    entries.append(entry);
  }
  if (signingKey_ != nullptr) {
    data["signature"] = signingKey_->Sign(StatementText::MirrorMap(std::to_string(maxTime), std::move(mirrorMap)));
    data["signature2"] = signingKey_->Sign(
        StatementText::MirrorMap2(MirrorMapTimes{issuedAt, latestTime, std::to_string(maxTime)}, sitesSigned));
  }
  return data;
}

}  // namespace tarvo::service
