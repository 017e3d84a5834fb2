#pragma once

#include "api_reply.h"
#include "request_context.h"
#include "service_clock.h"

namespace tarvo::service {

class FormFields;
class ServiceDatabase;

// "app/v1.0/version" and "app/v1.0/log_client_launch".
//
// Threads: any request thread; no mutable state.
class ReleaseEndpoints {
 public:
  // `db` must outlive this object.
  ReleaseEndpoints(ServiceDatabase& db, ServiceClock clock);

  // brand → "version" and "url", the installer's download address on the host the
  // client reached; 404 when the brand has no published version.
  ApiReply Version(const FormFields& form, const RequestContext& request) const;
  // brand, platform, clientversion → records the launch.
  ApiReply LogLaunch(const FormFields& form, const RequestContext& request) const;

  // URL path under which installers are served; the file name follows.
  static constexpr std::string_view kDownloadPath = "/download/";

 private:
  ServiceDatabase& db_;
  const ServiceClock clock_;
};

}  // namespace tarvo::service
