#include "release_endpoints.h"

#include <optional>

#include "api_codes.h"
#include "brand_directory.h"
#include "form_fields.h"
#include "net/statement_text.h"
#include "service_database.h"

namespace tarvo::service {

ReleaseEndpoints::ReleaseEndpoints(ServiceDatabase& db, ServiceClock clock, std::string publicUrl,
                                   const SigningKey* signingKey)
    : db_(db), clock_(std::move(clock)), publicUrl_(std::move(publicUrl)), signingKey_(signingKey) {}

ApiReply ReleaseEndpoints::Version(const FormFields& form) const {
  std::optional<Json::Value> data;
  std::string installerPath;
  std::string brandName;
  const ApiReply refusal =
      AnswerForBrand(db_, form.Get("brand").value_or(""), [&](DatabaseConnection& db, const std::string& brand) {
        brandName = brand;
        auto query =
            db.Prepare("SELECT version, installer_name, installer_path, released_at FROM brands WHERE name=?1");
        query.Bind(1, brand);
        query.Step();
        if (query.Text(0).empty()) {
          return ApiReply::Failure(kCodeNotFound, "no version published");
        }
        data.emplace(Json::objectValue);
        (*data)["version"] = query.Text(0);
        const std::string installer = query.Text(1);
        (*data)["url"] =
            installer.empty() ? std::string() : publicUrl_ + std::string(kDownloadPath.substr(1)) + installer;
        installerPath = installer.empty() ? std::string() : query.Text(2);
        (*data)["issued_at"] = Json::Int64(query.Int(3));
        return ApiReply::Ok();
      });
  if (!data) {
    return refusal;
  }
  // Outside the database lock: the first digest of a large file takes a moment.
  const InstallerDigests::Entry installer =
      installerPath.empty() ? InstallerDigests::Entry() : digests_.Of(installerPath);
  const uint64_t size = installer.digest.empty() ? 0 : installer.size;
  if (!installer.digest.empty()) {
    (*data)["sha256"] = installer.digest;
    (*data)["size"] = Json::UInt64(size);
  }
  if (signingKey_ != nullptr) {
    (*data)["signature"] = signingKey_->Sign(StatementText::VersionAnnouncement(
        brandName, (*data)["version"].asString(), (*data)["url"].asString(), size, installer.digest));
    (*data)["signature2"] = signingKey_->Sign(StatementText::VersionAnnouncement2(
        brandName, (*data)["version"].asString(), (*data)["url"].asString(), size, installer.digest,
        (*data)["issued_at"].asInt64()));
  }
  return ApiReply::Ok(*data);
}

ApiReply ReleaseEndpoints::LogLaunch(const FormFields& form, const RequestContext& request) const {
  const std::string brand = form.Get("brand").value_or("");
  if (brand.empty() || brand.size() > kMaxLaunchFieldBytes) {
    return ApiReply::BadField("brand");
  }
  for (const char* field : {"platform", "clientversion"}) {
    if (form.Get(field).value_or("").size() > kMaxLaunchFieldBytes) {
      return ApiReply::BadField(field);
    }
  }
  const int64_t now = clock_();
  db_.Append([&](DatabaseConnection& db) {
    db.Prepare(
          "INSERT INTO launches(brand, platform, client_version, remote_address, at) VALUES(?1, ?2, ?3, ?4, ?5)")
        .Bind(1, brand)
        .Bind(2, form.Get("platform").value_or(""))
        .Bind(3, form.Get("clientversion").value_or(""))
        .Bind(4, request.remoteAddress)
        .Bind(5, now)
        .Run();
  });
  return ApiReply::Ok();
}

}  // namespace tarvo::service
