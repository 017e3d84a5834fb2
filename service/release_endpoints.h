#pragma once

#include <string>

#include "api_reply.h"
#include "installer_digests.h"
#include "net/signing_key.h"
#include "request_context.h"
#include "service_clock.h"

namespace tarvo::service {

class FormFields;
class ServiceDatabase;

// "app/v1.0/version" and "app/v1.0/log_client_launch".
//
// Threads: any request thread; the digest cache guards itself.
class ReleaseEndpoints {
 public:
  // Launch reports keep at most this many bytes per field; longer ones are refused.
  static constexpr size_t kMaxLaunchFieldBytes = 64;

  // `db` must outlive this object; `publicUrl` is the service's published address
  // ("https://host:port/"), under which installers are downloaded; `signingKey`
  // (not owned, may be null: replies go unsigned) must outlive it too.
  ReleaseEndpoints(ServiceDatabase& db, ServiceClock clock, std::string publicUrl, const SigningKey* signingKey);

  // brand → "version", "url", the installer's download address under the
  // published address (never one built from what the client sent), "sha256" and
  // "size", the installer file's digest and length (the browser runs only a file
  // that matches them; no members when the brand publishes no installer or the
  // file cannot be read), "issued_at", when the seed first published this release
  // (version and installer), "signature2", the brand key's signature over all of
  // these (StatementText::VersionAnnouncement2), and "signature", the one over
  // statement 1 for browsers from before; 404 when the brand has no published version.
  ApiReply Version(const FormFields& form) const;
  // brand, platform, clientversion → records the launch.
  ApiReply LogLaunch(const FormFields& form, const RequestContext& request) const;

  // URL path under which installers are served; the file name follows.
  static constexpr std::string_view kDownloadPath = "/download/";

 private:
  ServiceDatabase& db_;
  const ServiceClock clock_;
  const std::string publicUrl_;
  const SigningKey* const signingKey_;  // not owned; may be null
  InstallerDigests digests_;
};

}  // namespace tarvo::service
