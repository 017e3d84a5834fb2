#include "account/vpn_operations.h"

#include <string>

#include <json/writer.h>

#include "account/account_info_keys.h"
#include "account/account_operations.h"
#include "account/account_state.h"
#include "account/vpn_node_list.h"
#include "protect/protect_channels.h"
#include "net/form_body.h"
#include "net/http_post_form.h"
#include "net/payload_cipher.h"
#include "platform/clock.h"
#include "platform/debug_output.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tarvo {

namespace {

constexpr char16_t kUserNodeListPath[] = u"app/v1.2/user_node_list";
constexpr char16_t kAnonymousNodeListPath[] = u"app/v1.1/no_login_user_node_list";
constexpr char16_t kConnectPath[] = u"app/v1.0/connection_vpn_node";
constexpr char16_t kAnonymousConnectPath[] = u"app/v1.0/no_login_connection_vpn_node";
constexpr char16_t kCancelPath[] = u"app/v1.0/cancel_connection";
constexpr char16_t kAnonymousCancelPath[] = u"app/v1.0/no_login_cancel_connection";
constexpr char16_t kWhiteListPath[] = u"app/v1.0/list_web_url";
constexpr int64_t kCodeNoTimeLeft = 421;

WString Brand() { return SettingsRegistry::Instance().Get(SettingsKeys::kBrand); }
WString Language() { return LanguageManager::Instance().GetCurrentLanguage(); }

}  // namespace

int VpnOperations::ReadNodeList(WStringView path, const FormBody& body, bool userList) {
  ServiceReply reply;
  if (CallService(path, body, reply) != 0) return -1;
  if (reply.code() == AccountOperations::kCodeRefused) return kRefused;
  if (!reply.succeeded()) return -1;
  std::optional<std::vector<VpnNode>> nodes = VpnNodeList::Read(reply.data());
  if (!nodes) {
    DebugOutput("vpn: the service's node list is malformed; the previous list stays");
    return -1;
  }
  if (userList) {
    account_.SetUserNodes(std::move(*nodes));
    // Kept as it came, addresses still ciphered.
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "";
    info_.SetInfo(AccountInfoKeys::kNodeList, Utf8ToWide(Json::writeString(writer, reply.data())));
  } else {
    account_.SetAnonymousNodes(std::move(*nodes));
  }
  return 0;
}

int VpnOperations::FetchNodeList() {
  FormBody body;
  body.Add("id", account_.UserId());
  if (AccountOperations(account_, database_).CheckLogin()) body.Add("token", account_.CurrentUser().token);
  body.Add("language", Language());
  return ReadNodeList(kUserNodeListPath, body, true);
}

int VpnOperations::FetchAnonymousNodeList() {
  const int result = ReadNodeList(kAnonymousNodeListPath, FormBody().Add("brand", Brand()).Add("language", Language()),
                                  false);
  if (result != 0) DebugOutput("nologin node_list error");
  return result;
}

int VpnOperations::OpenConnection(WStringView path, const FormBody& body, const VpnNode& node, bool anonymous) {
  ServiceReply reply;
  if (CallService(path, body, reply) != 0) return -1;
  if (reply.code() == kCodeNoTimeLeft) return kNoTimeLeft;
  if (reply.code() == AccountOperations::kCodeRefused) return kRefused;
  const WString proxyToken = Utf8ToWide(ServiceReply::ReadString(reply.data(), "proxy_token"));
  if (!reply.succeeded() || proxyToken.empty()) return -1;
  AccountState& state = account_;
  AccountState::VpnConnection connection;
  connection.proxyAddress = node.ip;
  connection.proxyPort = node.port;
  connection.nodeId = node.id;
  connection.proxyToken = proxyToken;
  connection.connected = true;
  // Still applied to the previous node until ApplyProxy moves it.
  connection.proxyApplied = state.Connection().proxyApplied;
  connection.anonymous = anonymous;
  state.SetConnection(std::move(connection));
  DebugOutput("vpn: connected to node " + WideToUtf8(node.id));
  return 0;
}

int VpnOperations::ConnectNode(const VpnNode& node) {
  const AccountState::User user = account_.CurrentUser();
  const FormBody body = FormBody().Add("id", user.id).Add("token", user.token).Add("node_id", node.id);
  const int result = OpenConnection(kConnectPath, body, node, false);
  return result == kRefused ? -1 : result;
}

int VpnOperations::ConnectFirstNode() {
  const std::vector<VpnNode> nodes = account_.UserNodes();
  if (nodes.empty()) return -1;
  return ConnectNode(nodes.front()) == 0 ? 0 : -1;
}

int VpnOperations::ConnectAnonymous() {
  if (const int listed = FetchAnonymousNodeList(); listed != 0) return listed;
  const std::vector<VpnNode> nodes = account_.AnonymousNodes();
  if (nodes.empty() || nodes.front().id.empty()) return -1;
  const int64_t begin = NowSeconds();
  DebugOutput("nologin_nodelist_begin at " + std::to_string(begin));
  const int result = OpenConnection(kAnonymousConnectPath, FormBody().Add("brand", Brand()).Add("node_id", nodes.front().id),
                                    nodes.front(), true);
  const int64_t end = NowSeconds();
  DebugOutput("nologin_nodelist_end at " + std::to_string(end) + ", use " + std::to_string(end - begin) + " sec");
  return result;
}

void VpnOperations::CloseConnection(WStringView path, const FormBody& body) {
  ServiceReply reply;
  if (CallService(path, body, reply) != 0 || !reply.succeeded()) {
    DebugOutput("vpn: the service did not confirm the cancel; the connection ends here regardless");
  }
  // Forgotten before the proxy goes, so no navigation in between puts it back.
  AccountState& state = account_;
  AccountState::VpnConnection closed;
  closed.proxyApplied = state.Connection().proxyApplied;
  state.SetConnection(std::move(closed));
  RemoveProxy();
  DebugOutput("vpn: connection closed");
}

void VpnOperations::CancelConnection() { CancelConnection(account_.CurrentUser()); }

void VpnOperations::CancelConnection(const AccountState::User& user) {
  const FormBody body = FormBody().Add("id", user.id).Add("token", user.token).Add(
      "proxy_token", account_.Connection().proxyToken);
  CloseConnection(kCancelPath, body);
}

void VpnOperations::CancelAnonymousConnection() {
  const FormBody body =
      FormBody().Add("brand", Brand()).Add("proxy_token", account_.Connection().proxyToken);
  CloseConnection(kAnonymousCancelPath, body);
}

void VpnOperations::SwitchOff() { SwitchOff(account_.CurrentUser()); }

void VpnOperations::SwitchOff(const AccountState::User& user) {
  const AccountState::VpnConnection connection = account_.Connection();
  if (!connection.connected) return;
  connection.anonymous ? CancelAnonymousConnection() : CancelConnection(user);
  ProtectChannels::kRefreshButton.Post();
}

bool VpnOperations::ApplyProxy() {
  AccountState& state = account_;
  const AccountState::VpnConnection connection = state.Connection();
  IVpnProxyEngine* engine = state.ProxyEngine();
  if (!connection.connected || engine == nullptr ||
      !engine->ConnectVpn(connection.proxyAddress, connection.proxyPort)) {
    return false;
  }
  state.SetProxyApplied(true);
  return true;
}

void VpnOperations::RemoveProxy() {
  AccountState& state = account_;
  if (IVpnProxyEngine* engine = state.ProxyEngine()) engine->DisconnectVpn();
  state.SetProxyApplied(false);
}

int VpnOperations::RefreshWhiteList() {
  AccountState& state = account_;
  if (!state.IsWhiteListActive()) return 0;
  ServiceReply reply;
  if (CallService(kWhiteListPath, FormBody().Add("brand", Brand()), reply) != 0 || !reply.succeeded() ||
      !reply.data().isArray()) {
    return -1;
  }
  const PayloadCipher cipher;
  std::vector<WString> domains;
  std::string diagnostic = "vpn white list:\n";
  for (const Json::Value& entry : reply.data()) {
    std::string domain;
    if (cipher.DecryptText(ServiceReply::ReadString(entry, "domain"), domain) != 0 || domain.empty()) return -1;
    diagnostic += domain + "\n";
    domains.push_back(Utf8ToWide(domain));
  }
  state.SetWhiteList(std::move(domains));
  DebugOutput(diagnostic);
  return 0;
}

void VpnOperations::ApplyOrUndo() {
  if (ApplyProxy()) return;
  DebugOutput("vpn: the engine did not take the proxy; the connection is closed again");
  SwitchOff();
  ReportFailure(-1);
}

void VpnOperations::ReportFailure(int result) {
  if (result == kRefused) {
    DebugOutput("vpn: the service refused the VPN");
    ProtectChannels::kShowVpn403.Post();
  } else {
    DebugOutput("vpn: the VPN could not be switched on");
    ProtectChannels::kShowVpnFailed.Post();
  }
}

void VpnOperations::ToggleVpn() {
  AccountState& state = account_;
  // Switching off never waits for a node list: it works while the service is down.
  if (state.IsConnected()) {
    SwitchOff();
  } else if (AccountOperations(account_, database_).CheckLogin()) {
    const int listed = FetchNodeList();
    if (listed != 0) {
      ReportFailure(listed);
    } else if (state.CurrentUser().selectPermission) {
      DebugOutput("vpn: the node is chosen in the protection panel");
      ProtectChannels::kShowDialog.Post();
    } else if (ConnectFirstNode() != 0) {
      ReportFailure(-1);
    } else {
      ApplyOrUndo();
    }
  } else if (const int connected = ConnectAnonymous(); connected != 0) {
    ReportFailure(connected);
  } else {
    ApplyOrUndo();
  }
  ProtectChannels::kRefreshButton.Post();
}

}  // namespace tarvo
