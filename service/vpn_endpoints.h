#pragma once

#include "api_reply.h"
#include "attempt_limiter.h"
#include "node_addresses.h"
#include "request_context.h"
#include "service_clock.h"
#include "token_authority.h"
#include "vpn_connections.h"

namespace tarvo::service {

class FormFields;
class DatabaseConnection;
class ServiceDatabase;

// The node lists, connecting and cancelling (for users and anonymously) and the
// white list: "app/v1.2/user_node_list", "app/v1.1/no_login_user_node_list",
// "app/v1.0/connection_vpn_node", "no_login_connection_vpn_node",
// "cancel_connection", "no_login_cancel_connection" and "list_web_url".
//
// Node "ip" and "area" and white-list "domain" values are ciphered. A node whose
// proxy this service runs is announced with that proxy's address.
//
// An anonymous client (ClientKey of its address) asking to connect while its
// connection still has time gets that connection again (moved, with the time it
// has left, when it asks for another node); a fresh connection with a fresh
// allowance is given at most kAnonymousOpenings times per kAnonymousWindowSeconds.
//
// Threads: any request thread; the opening counts guard themselves.
class VpnEndpoints {
 public:
  // `db`, `tokens` and `connections` must outlive this object; `proxies` is copied.
  VpnEndpoints(ServiceDatabase& db, const TokenAuthority& tokens, const VpnConnections& connections,
               NodeAddresses proxies, ServiceClock clock);

  // id, token, language → the user's nodes; 403 without VPN rights.
  ApiReply UserNodeList(const FormFields& form) const;
  // brand, language → the anonymous nodes; 403 when the brand allows no anonymous use.
  ApiReply AnonymousNodeList(const FormFields& form) const;
  // id, token, node_id → "proxy_token"; 403 without rights, 421 without time left.
  ApiReply Connect(const FormFields& form) const;
  // brand, node_id → "proxy_token"; 403 when not allowed, 421 with no allowance,
  // 429 past the openings of one client.
  ApiReply ConnectAnonymous(const FormFields& form, const RequestContext& request) const;

  static constexpr int kAnonymousOpenings = 10;
  static constexpr int64_t kAnonymousWindowSeconds = 60 * 60;
  // id, token, proxy_token → closes the user's connection (an empty proxy token
  // closes nothing and succeeds); 404 for a token that is not the user's.
  ApiReply Cancel(const FormFields& form) const;
  // brand, proxy_token → closes an anonymous connection.
  ApiReply CancelAnonymous(const FormFields& form) const;
  // brand → [{"domain": ciphered}] in seed order.
  ApiReply WhiteList(const FormFields& form) const;

 private:
  Json::Value NodeList(DatabaseConnection& db, bool anonymousOnly, const std::string& language) const;

  ServiceDatabase& db_;
  const TokenAuthority& tokens_;
  const VpnConnections& connections_;
  const NodeAddresses proxies_;
  const ServiceClock clock_;
  const AttemptLimiter anonymousOpenings_{"anonymous_opening", kAnonymousOpenings, kAnonymousWindowSeconds};
};

}  // namespace tarvo::service
