#include "api_router.h"

#include <exception>
#include <iostream>

#include "account_endpoints.h"
#include "api_codes.h"
#include "domain_list_endpoint.h"
#include "favorites_endpoints.h"
#include "release_endpoints.h"
#include "vpn_endpoints.h"

namespace tarvo::service {

namespace {

template <class Target>
std::function<ApiReply(const FormFields&, const RequestContext&)> FormOnly(
    const Target& target, ApiReply (Target::*method)(const FormFields&) const) {
  return [&target, method](const FormFields& form, const RequestContext&) { return (target.*method)(form); };
}

template <class Target>
std::function<ApiReply(const FormFields&, const RequestContext&)> WithRequest(
    const Target& target, ApiReply (Target::*method)(const FormFields&, const RequestContext&) const) {
  return [&target, method](const FormFields& form, const RequestContext& request) {
    return (target.*method)(form, request);
  };
}

}  // namespace

ApiRouter::ApiRouter(const AccountEndpoints& accounts, const VpnEndpoints& vpn, const DomainListEndpoint& domains,
                     const FavoritesEndpoints& favorites, const ReleaseEndpoints& release) {
  endpoints_ = {
      {"app/v1.0/login", WithRequest(accounts, &AccountEndpoints::Login)},
      {"app/v1.0/logout", FormOnly(accounts, &AccountEndpoints::Logout)},
      {"app/v1.0/register", WithRequest(accounts, &AccountEndpoints::Register)},
      {"app/v1.0/user_info", FormOnly(accounts, &AccountEndpoints::UserInfo)},
      {"app/v1.2/user_node_list", FormOnly(vpn, &VpnEndpoints::UserNodeList)},
      {"app/v1.1/no_login_user_node_list", FormOnly(vpn, &VpnEndpoints::AnonymousNodeList)},
      {"app/v1.0/connection_vpn_node", FormOnly(vpn, &VpnEndpoints::Connect)},
      {"app/v1.0/no_login_connection_vpn_node", WithRequest(vpn, &VpnEndpoints::ConnectAnonymous)},
      {"app/v1.0/cancel_connection", FormOnly(vpn, &VpnEndpoints::Cancel)},
      {"app/v1.0/no_login_cancel_connection", FormOnly(vpn, &VpnEndpoints::CancelAnonymous)},
      {"app/v1.0/list_web_url", FormOnly(vpn, &VpnEndpoints::WhiteList)},
      {"app/v1.0/domain_list", FormOnly(domains, &DomainListEndpoint::DomainList)},
      {"app/v1.0/version", FormOnly(release, &ReleaseEndpoints::Version)},
      {"app/v1.0/log_client_launch", WithRequest(release, &ReleaseEndpoints::LogLaunch)},
      {"app/v1.0/default_fav", FormOnly(favorites, &FavoritesEndpoints::Defaults)},
      {"app/v1.0/list_user_fav", FormOnly(favorites, &FavoritesEndpoints::List)},
      {"app/v1.0/add_fav_item", FormOnly(favorites, &FavoritesEndpoints::Add)},
      {"app/v1.0/update_fav_item", FormOnly(favorites, &FavoritesEndpoints::Update)},
      {"app/v1.0/del_user_fav", FormOnly(favorites, &FavoritesEndpoints::Delete)},
  };
}

bool ApiRouter::Knows(std::string_view path) const { return endpoints_.find(path) != endpoints_.end(); }

ApiReply ApiRouter::Dispatch(std::string_view path, const FormFields& form, const RequestContext& request) const {
  const auto endpoint = endpoints_.find(path);
  if (endpoint == endpoints_.end()) {
    return ApiReply::Failure(kCodeNotFound, "unknown path");
  }
  try {
    return endpoint->second(form, request);
  } catch (const std::exception& error) {
    std::cerr << "tarvo-service: " << path << ": " << error.what() << std::endl;
    return ApiReply::Failure(kCodeServerError, "internal error, nothing was changed");
  }
}

}  // namespace tarvo::service
