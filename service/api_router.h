#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "api_reply.h"
#include "request_context.h"

namespace tarvo::service {

class AccountEndpoints;
class DomainListEndpoint;
class FavoritesEndpoints;
class FormFields;
class ReleaseEndpoints;
class VpnEndpoints;

// The endpoint table: request paths ("app/v1.0/login" ...) to the endpoint that
// answers them.
//
// Threads: built once, then only read; Dispatch may run on many threads at once.
class ApiRouter {
 public:
  // The endpoint objects must outlive the router.
  ApiRouter(const AccountEndpoints& accounts, const VpnEndpoints& vpn, const DomainListEndpoint& domains,
            const FavoritesEndpoints& favorites, const ReleaseEndpoints& release);

  // True for the paths of the table (without a leading "/").
  bool Knows(std::string_view path) const;

  // The reply of the endpoint at `path`: 404 for an unknown path, 500 when storage
  // fails. Never throws.
  ApiReply Dispatch(std::string_view path, const FormFields& form, const RequestContext& request) const;

 private:
  using Endpoint = std::function<ApiReply(const FormFields&, const RequestContext&)>;
  std::map<std::string, Endpoint, std::less<>> endpoints_;
};

}  // namespace tarvo::service
