#include "vpn_endpoints.h"

#include "api_codes.h"
#include "brand_directory.h"
#include "client_cipher.h"
#include "field_values.h"
#include "form_fields.h"
#include "json_text.h"
#include "localized_text.h"
#include "service_database.h"
#include "socket_address.h"
#include "write_locks.h"

namespace tarvo::service {

namespace {

constexpr int64_t kNodeAvailable = 1;

ApiReply BadToken() { return ApiReply::Failure(kCodeUnauthorized, "invalid or expired token"); }
ApiReply UnknownBrand() { return ApiReply::Failure(kCodeNotFound, "unknown brand"); }
ApiReply NoRights() { return ApiReply::Failure(kCodeForbidden, "no VPN rights"); }
ApiReply NoTimeLeft() { return ApiReply::Failure(kCodeNoTimeLeft, "no connection time left"); }

struct BrandVpn {
  std::string name;
  bool anonymousAllowed = false;
  int64_t anonymousSeconds = 0;
};

std::optional<BrandVpn> LookUpBrand(DatabaseConnection& db, const std::string& brand) {
  const auto resolved = ResolveBrand(db, brand);
  if (!resolved) {
    return std::nullopt;
  }
  auto query = db.Prepare("SELECT anonymous_vpn, anonymous_seconds FROM brands WHERE name=?1");
  query.Bind(1, *resolved);
  query.Step();
  return BrandVpn{*resolved, query.Int(0) != 0, query.Int(1)};
}

// Empty when the node is unknown, or when `anonymousOnly` and it is not offered to
// anonymous users; otherwise its status.
std::optional<int64_t> NodeStatus(DatabaseConnection& db, int64_t nodeId, bool anonymousOnly) {
  auto query = db.Prepare("SELECT status, anonymous FROM nodes WHERE id=?1");
  query.Bind(1, nodeId);
  if (!query.Step() || (anonymousOnly && query.Int(1) == 0)) {
    return std::nullopt;
  }
  return query.Int(0);
}

std::optional<ApiReply> CheckNode(std::optional<int64_t> status) {
  if (!status) {
    return ApiReply::Failure(kCodeNotFound, "unknown node");
  }
  if (*status != kNodeAvailable) {
    return ApiReply::Failure(kCodeUnavailable, "node unavailable");
  }
  return std::nullopt;
}

ApiReply TokenReply(const std::string& proxyToken) {
  Json::Value data(Json::objectValue);
  data["proxy_token"] = proxyToken;
  return ApiReply::Ok(data);
}

ApiReply CancelReply(VpnConnections::CloseResult result) {
  return result == VpnConnections::CloseResult::kUnknown ? ApiReply::Failure(kCodeNotFound, "no such connection")
                                                         : ApiReply::Ok();
}

}  // namespace

VpnEndpoints::VpnEndpoints(ServiceDatabase& db, const TokenAuthority& tokens, const VpnConnections& connections,
                           NodeAddresses proxies, ServiceClock clock)
    : db_(db), tokens_(tokens), connections_(connections), proxies_(std::move(proxies)), clock_(std::move(clock)) {}

Json::Value VpnEndpoints::NodeList(DatabaseConnection& db, bool anonymousOnly, const std::string& language) const {
  auto query = db.Prepare(
      "SELECT id, country_id, country, area, ip, port, status FROM nodes WHERE anonymous>=?1 ORDER BY position");
  query.Bind(1, anonymousOnly ? 1 : 0);
  Json::Value nodes(Json::arrayValue);
  while (query.Step()) {
    const int64_t id = query.Int(0);
    std::string ip = query.Text(4);
    int64_t port = query.Int(5);
    if (const auto proxy = proxies_.find(id); proxy != proxies_.end()) {
      ip = proxy->second.ip;
      port = proxy->second.port;
    }
    Json::Value node(Json::objectValue);
    node["id"] = Json::Int64(id);
    node["country_id"] = Json::Int64(query.Int(1));
    node["country"] = PickLocalized(ParseJson(query.Text(2)).value_or(Json::Value()), language);
    node["ip"] = CipherForClient(ip);
    node["area"] = CipherForClient(PickLocalized(ParseJson(query.Text(3)).value_or(Json::Value()), language));
    node["port"] = Json::Int64(port);
    node["status"] = Json::Int64(query.Int(6));
    nodes.append(node);
  }
  return nodes;
}

ApiReply VpnEndpoints::UserNodeList(const FormFields& form) const {
  const int64_t now = clock_();
  const std::string language = form.Get("language").value_or("");
  return db_.Read([&](DatabaseConnection& db) {
    const auto userId = tokens_.CheckIdAndToken(db, form, now);
    if (!userId) {
      return BadToken();
    }
    auto rights = db.Prepare("SELECT vpn_allowed FROM users WHERE id=?1");
    rights.Bind(1, *userId);
    if (!rights.Step() || rights.Int(0) == 0) {
      return NoRights();
    }
    return ApiReply::Ok(NodeList(db, false, language));
  });
}

ApiReply VpnEndpoints::AnonymousNodeList(const FormFields& form) const {
  const std::string language = form.Get("language").value_or("");
  return AnswerForBrand(db_, form.Get("brand").value_or(""), [&](DatabaseConnection& db, const std::string& brand) {
    if (!LookUpBrand(db, brand)->anonymousAllowed) {
      return NoRights();
    }
    return ApiReply::Ok(NodeList(db, true, language));
  });
}

ApiReply VpnEndpoints::Connect(const FormFields& form) const {
  const auto nodeId = ParseInteger(form.Get("node_id").value_or(""));
  const int64_t now = clock_();
  return db_.Write([&](DatabaseConnection& db) {
    const auto userId = tokens_.CheckIdAndToken(db, form, now);
    if (!userId) {
      return BadToken();
    }
    if (!nodeId) {
      return ApiReply::BadField("node_id");
    }
    if (const auto failure = CheckNode(NodeStatus(db, *nodeId, false))) {
      return *failure;
    }
    // The new connection replaces the user's open ones, whose time is charged first:
    // two connects of one user take turns, so one connection is left open.
    WriteLocks::Take(db, {WriteLocks::OfUser(*userId)});
    connections_.CloseAllOf(db, *userId, now);
    auto user = db.Prepare("SELECT vpn_allowed, vpn_seconds, brand FROM users WHERE id=?1");
    user.Bind(1, *userId);
    if (!user.Step() || user.Int(0) == 0) {
      return NoRights();
    }
    if (user.Int(1) <= 0) {
      return NoTimeLeft();
    }
    return TokenReply(connections_.Open(db, *nodeId, userId, user.Text(2), std::string_view(), user.Int(1), now));
  });
}

ApiReply VpnEndpoints::ConnectAnonymous(const FormFields& form, const RequestContext& request) const {
  const std::string brand = form.Get("brand").value_or("");
  const auto nodeId = ParseInteger(form.Get("node_id").value_or(""));
  if (brand.empty()) {
    return ApiReply::BadField("brand");
  }
  if (!nodeId) {
    return ApiReply::BadField("node_id");
  }
  const int64_t now = clock_();
  return db_.Write([&](DatabaseConnection& db) {
    const auto vpn = LookUpBrand(db, brand);
    if (!vpn) {
      return UnknownBrand();
    }
    if (!vpn->anonymousAllowed) {
      return NoRights();
    }
    if (const auto failure = CheckNode(NodeStatus(db, *nodeId, true))) {
      return *failure;
    }
    if (vpn->anonymousSeconds <= 0) {
      return NoTimeLeft();
    }
    const std::string client = ClientKey(request.remoteAddress);
    // A client's live connection is found, replaced or counted by one request at a
    // time, so the limit on its openings holds across processes.
    WriteLocks::Take(db, {"anonymous:" + client});
    if (const auto live = connections_.LiveAnonymous(db, client, vpn->name, now)) {
      if (live->nodeId == *nodeId) {
        return TokenReply(live->proxyToken);
      }
      connections_.Close(db, live->proxyToken, std::nullopt, now);
      return TokenReply(connections_.Open(db, *nodeId, std::nullopt, vpn->name, client, live->secondsLeft, now));
    }
    if (!anonymousOpenings_.Allows(db, client, now)) {
      return ApiReply::Failure(kCodeTooManyRequests, "too many connections from this address, try again later");
    }
    anonymousOpenings_.Count(db, client, now);
    return TokenReply(connections_.Open(db, *nodeId, std::nullopt, vpn->name, client, vpn->anonymousSeconds, now));
  });
}

ApiReply VpnEndpoints::Cancel(const FormFields& form) const {
  const std::string proxyToken = form.Get("proxy_token").value_or("");
  const int64_t now = clock_();
  return db_.Write([&](DatabaseConnection& db) {
    const auto userId = tokens_.CheckIdAndToken(db, form, now);
    if (!userId) {
      return BadToken();
    }
    if (proxyToken.empty()) {
      return ApiReply::Ok();
    }
    WriteLocks::Take(db, {WriteLocks::OfUser(*userId)});
    return CancelReply(connections_.Close(db, proxyToken, userId, now));
  });
}

ApiReply VpnEndpoints::CancelAnonymous(const FormFields& form) const {
  const std::string proxyToken = form.Get("proxy_token").value_or("");
  if (form.Get("brand").value_or("").empty()) {
    return ApiReply::BadField("brand");
  }
  if (proxyToken.empty()) {
    return ApiReply::Ok();
  }
  const int64_t now = clock_();
  return db_.Write(
      [&](DatabaseConnection& db) { return CancelReply(connections_.Close(db, proxyToken, std::nullopt, now)); });
}

ApiReply VpnEndpoints::WhiteList(const FormFields& form) const {
  return AnswerForBrand(db_, form.Get("brand").value_or(""), [](DatabaseConnection& db, const std::string& brand) {
    auto query = db.Prepare("SELECT domain FROM white_list WHERE brand=?1 ORDER BY position");
    query.Bind(1, brand);
    Json::Value domains(Json::arrayValue);
    while (query.Step()) {
      Json::Value entry(Json::objectValue);
      entry["domain"] = CipherForClient(query.Text(0));
      domains.append(entry);
    }
    return ApiReply::Ok(domains);
  });
}

}  // namespace tarvo::service
